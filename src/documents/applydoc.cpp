#include "documents/applydoc.h"

#include "csp/qtcompat.h"
#include "documents/documentcontent.h"
#include "request/formfile.h"

#include <QBrush>
#include <QBuffer>
#include <QDir>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextTable>

namespace {

// Qt 5's ODF writer names the font of the single family property; Qt 6's names it only when
// that property is there, and takes it from the list of families. setFontFamily sets only one
// of them (Qt 6's documents would then name the default font), so both are set.
void setDocumentFont(QTextCharFormat &chars)
{
    const QString family = QString::fromLatin1(documentFontFamily);
    chars.setProperty(QTextFormat::FontFamily, family);
    chars.setFontFamilies({family});
}

} // namespace

applyDoc::applyDoc()
    : document(std::make_unique<QTextDocument>())
    , cursor(document.get())
    , formData(loadFormFile(formFilePath(QDir::homePath())))
{}

applyDoc::~applyDoc() = default;

void applyDoc::insertSteps(const QList<DocumentStep> &steps, QTextBlockFormat &block,
                           QTextCharFormat &chars)
{
    for (const DocumentStep &step : steps) {
        cursor.movePosition(QTextCursor::End, QTextCursor::MoveAnchor, 1);
        if (step.alignment != DocumentStep::keep)
            block.setAlignment(Qt::Alignment(step.alignment));
        if (step.textIndent >= 0)
            block.setTextIndent(step.textIndent);
        // Paragraphs made by "\n" in the text take over this format, so it holds until the next
        // step that sets one.
        if (step.setBlock)
            cursor.setBlockFormat(block);
        if (step.fontWeight != DocumentStep::keep)
            chars.setFontWeight(QtCompat::odfFontWeight(step.fontWeight));
        if (step.pointSize >= 0)
            chars.setFontPointSize(step.pointSize);
        cursor.insertText(fillIn(step.text, formData), chars);
    }
}

void applyDoc::insertApplicationTable(const QTextCharFormat &chars)
{
    QTextTableFormat format;
    format.setCellPadding(2.0);
    format.setCellSpacing(2.0);
    format.setHeaderRowCount(1);
    format.setBorderBrush(QBrush(Qt::SolidPattern));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorder(1.0);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100.0));

    const QList<DocumentTableRow> rows = applicationTable();
    cursor.insertTable(rows.size(), 2, format);
    for (const DocumentTableRow &row : rows) {
        cursor.insertText(row.label, chars);
        if (!row.blank) {
            cursor.movePosition(QTextCursor::NextCell);
            cursor.insertText(fillIn(row.value, formData), chars);
        }
        cursor.movePosition(QTextCursor::NextRow);
    }
}

void applyDoc::shapeapply()
{
    QTextBlockFormat block;
    QTextCharFormat chars;
    setDocumentFont(chars);
    insertSteps(applicationOpening(), block, chars);
    insertApplicationTable(chars);
    insertSteps(applicationClosing(), block, chars);
    cursor.movePosition(QTextCursor::End, QTextCursor::MoveAnchor, 1);
}

void applyDoc::shapetrast()
{
    QTextBlockFormat block;
    QTextCharFormat chars;
    setDocumentFont(chars);
    insertSteps(powerOfAttorney(), block, chars);
    cursor.movePosition(QTextCursor::End, QTextCursor::MoveAnchor, 1);
}

bool applyDoc::write(const QString &fileName, QString *error)
{
    // The document goes to memory first: the ODF writer reports success on some failed writes
    // to a file, and it cannot write into a QSaveFile (its zip writer closes the device).
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, QByteArrayLiteral("odf"));
    if (!writer.write(document.get())) {
        if (error)
            *error = buffer.errorString();
        return false;
    }
    return saveDocumentFile(fileName, buffer.data(), error);
}
