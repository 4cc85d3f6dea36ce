#pragma once

#include <QMap>
#include <QString>
#include <QTextCursor>

#include <memory>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;
struct DocumentStep;

// Builds one of the two paper documents from the saved form and writes it as OpenDocument
// Text: construct, call one builder, write.
class applyDoc
{
public:
    // Reads the saved form; a missing or damaged file gives empty values.
    applyDoc();
    ~applyDoc();

    // The certificate application.
    void shapeapply();
    // The power of attorney.
    void shapetrast();
    // Writes the document to `fileName` (with its ".odt"). An existing file of that name is
    // replaced only by a complete new one; on failure returns false and sets `error`.
    bool write(const QString &fileName, QString *error = nullptr);

private:
    void insertSteps(const QList<DocumentStep> &steps, QTextBlockFormat &block,
                     QTextCharFormat &chars);
    void insertApplicationTable(const QTextCharFormat &chars);

    std::unique_ptr<QTextDocument> document;
    QTextCursor cursor;
    QMap<QString, QString> formData;
};
