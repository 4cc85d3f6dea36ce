#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct ToolResult;

// The error codes that the CSP's utilities print ("[ErrorCode: 0x80090016]"), what each means and
// what usually mends it, so that a failed run can be explained to a user who reads neither the
// utilities' English nor their hexadecimal codes. On Linux the exit code is only the low byte of
// such a code, and sometimes 0 after a failure, so the code in the output is what tells.
namespace CspErrors {

struct Code
{
    quint32 value = 0;
    // The public symbolic name of the code, empty for the CSP's own codes that have none.
    QString name;
    // Both written to follow "Причина: " and "Что сделать: ".
    QString meaning;
    QString step;
};

// Every code that has an explanation.
const QList<Code> &table();
// The entry for `value`, or nullptr when it has none.
const Code *find(quint32 value);

// The codes an output names, in the order of their first appearance, each once:
// "[ErrorCode: 0x…]", "ErrorCode: 0x…", "Error code: 0x…" or a bare 0x with exactly eight
// hexadecimal digits, in any case. 0x00000000 (no error) is among them when printed.
QList<quint32> codesIn(const QString &output);

// "0x8009200c": eight hexadecimal digits in small letters.
QString codeText(quint32 value);

// "Причина: …", "Что сделать: …", "Код ошибки: 0x…"; for a code without an entry, only the last.
QStringList explanation(quint32 value);

// What a box says first about a run.
struct Verdict
{
    bool failed = false;
    // The verdict sentence first, then the explanation lines.
    QStringList lines;
};

// A run succeeded when it ended with exit code 0 and printed no error code other than
// 0x00000000; its verdict is `successSentence` ("Файл подписан.", "Готово." when empty).
// Any other run is "Не выполнено.", followed by the explanation of each error code it printed,
// by "Код завершения: N" when it printed none, or by why the CSP is missing when one of its
// utilities could not be started because the file is not there.
Verdict verdict(const ToolResult &result, const QString &successSentence = {});

// What a result box shows besides the utility's output: its informative text (the verdict lines,
// then `existing`, what the box said there before, such as "Файл сохранён: PATH", when it is not
// empty) and whether it warns, which it does exactly when the run failed.
struct BoxText
{
    QString informativeText;
    bool warn = false;
};
BoxText boxText(const ToolResult &result, const QString &successSentence = {},
                const QString &existing = {});

} // namespace CspErrors
