#pragma once

#include "csp/toolrunner.h"

#include <QString>
#include <QStringList>

// Viewing the CSP's licence with its cpconfig.
namespace CspLicense {

// cpconfig of the CSP whose utilities lie in `binDir`: for PREFIX/bin/ARCH/ it is
// PREFIX/sbin/ARCH/cpconfig; for a directory of another shape, cpconfig beside the utilities.
QString cpconfigPath(const QString &binDir);

// "-license", "-view".
QStringList viewArguments();

// Whether cpconfig reports the licence expired or not yet valid ("License is expired or not yet
// valid").
bool isExpired(const QString &output);

// The days left of a valid licence, from its line "Expires: N day(s)"; -1 without such a line.
int daysLeft(const QString &output);

// The first informative lines of the licence box: "Срок действия лицензии истёк или ещё не
// начался." for an expired licence; "Лицензия действует." and, when the output tells,
// "Осталось дней: N" for a valid one; the verdict of a failed run when cpconfig tells neither.
QStringList informativeLines(const ToolResult &result);

// Whether the box with cpconfig's answer warns: the licence is expired, or cpconfig failed.
// An expired licence is a warning, not a stop: a certificate with a licence of its own can
// still sign.
bool needsWarning(const ToolResult &result);

} // namespace CspLicense
