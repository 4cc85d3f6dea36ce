#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// The application's regulations sentence sends the customer here.
constexpr char regulationsAddress[] = "https://www.udostoverenie-centr.ru/udostovcent/";

// Both documents are set in this family, from the first character to the last.
constexpr char documentFontFamily[] = "Times New Roman";

// One step of a document: optional changes to the block format (then applied to the block at
// the end of the document) and to the character format, then the text, inserted at the end.
// A text holds "\n" for paragraph breaks, "\t" for spacing, and "{KEY}" for the saved form
// value of KEY.
struct DocumentStep
{
    static constexpr int keep = -1;

    bool setBlock = false;
    int alignment = keep;     // a Qt::Alignment value
    double textIndent = keep; // first-line indent in document units
    int fontWeight = keep;    // 100 for emphasis, 0 for plain text
    double pointSize = keep;
    QString text;
};

// One row of the application's table; a blank row has a label only.
struct DocumentTableRow
{
    QString label;
    QString value; // with "{KEY}" like a step's text
    bool blank = false;
};

// The certificate application: the steps before its table, the table, and the steps after it.
QList<DocumentStep> applicationOpening();
QList<DocumentTableRow> applicationTable();
QList<DocumentStep> applicationClosing();

// The power of attorney and its list of powers, one line each.
QList<DocumentStep> powerOfAttorney();
QStringList powersList();

// `text` with every "{KEY}" replaced by form[KEY] (empty when missing). Values are inserted as
// they are: a value that itself contains "{...}" is not expanded again.
QString fillIn(const QString &text, const QMap<QString, QString> &form);

// The file names of the two documents for an owner: surname and given names joined without a
// separator and transliterated, then ".odt"; "trast_" in front for the power of attorney. Empty
// when the names hold no letter to make a file name of (see mytranslit::holdsLetter).
QString applicationFileName(const QString &surname, const QString &givenNames);
QString powerOfAttorneyFileName(const QString &surname, const QString &givenNames);

// Replaces the file at `path` with `bytes` only once they were written completely; an earlier
// file of that name stays as it was otherwise. On failure returns false and sets `error` to
// the reason.
bool saveDocumentFile(const QString &path, const QByteArray &bytes, QString *error);

// What the user is told after writing a document.
QString applicationCreatedMessage(const QString &path);
QString powerOfAttorneyCreatedMessage(const QString &path);
QString documentWriteFailedMessage(const QString &path, const QString &reason);
