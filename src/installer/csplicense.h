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

// Whether the box with cpconfig's answer warns: the licence is reported expired (an expired or
// not yet valid licence says "License is expired or not yet valid"), or cpconfig did not end
// with exit code 0.
bool needsWarning(const ToolResult &result);

} // namespace CspLicense
