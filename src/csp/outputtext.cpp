#include "csp/outputtext.h"

#include <QTextCodec>

QString OutputText::decode(const QByteArray &bytes)
{
    // A byte order mark stays in the text, as QString::fromUtf8 keeps it.
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    const QString text =
        QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    // A sequence cut off at the very end counts as not UTF-8 too.
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return text;
    if (QTextCodec *cp1251 = QTextCodec::codecForName("Windows-1251"))
        return cp1251->toUnicode(bytes);
    return text;
}
