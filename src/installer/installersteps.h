#pragma once

#include <QString>
#include <QStringList>

struct ToolResult;

// What the installer dialog runs, for each system of its list (the index in comboBox_OS):
// 0 Debian, 1 Astra, 2 Ubuntu, 3 Alt Linux, 4 RPM-based, 5 SUSE.
namespace InstallerSteps {

// The unpack script, given the archive's full path.
QString unpackScript();
// How long an unpack may take.
constexpr int unpackWaitMs = 50000;

// The CSP archive the file dialog offers (its filter is the bare name).
QString cspArchiveName(int system);
QString pluginArchiveName();

// The user's work directory for the installation: home + "/buildcpcsp/".
QString workDirectory(const QString &home);

// The terminal and what it is started with: "-e", the system's script, and the unpacked CSP
// directory the script is given (the work directory itself for SUSE).
QString terminalProgram();
QStringList terminalArguments(int system, const QString &home);

// What the log area gets after an unpack, in one piece, and whether the archive was unpacked.
struct UnpackOutcome
{
    bool unpacked = false;
    QString text;
};
UnpackOutcome unpackOutcome(const ToolResult &result);

} // namespace InstallerSteps
