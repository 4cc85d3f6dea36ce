#include "installer/installersteps.h"

#include "csp/toolrunner.h"

namespace {

struct System
{
    const char *cspArchive;
    const char *unpackedDirectory;
    const char *script;
};

// Ubuntu installs from the same Debian packages as Debian and Astra, so it is offered the same
// archive: its script expects linux-amd64_deb/.
const System systems[] = {
    {"linux-amd64_deb.tgz", "linux-amd64_deb/", "screepts/debian.sh"},
    {"linux-amd64_deb.tgz", "linux-amd64_deb/", "screepts/astra.sh"},
    {"linux-amd64_deb.tgz", "linux-amd64_deb/", "screepts/ubuntu.sh"},
    {"linux-amd64.tgz", "linux-amd64/", "screepts/altlinux.sh"},
    {"linux-amd64.tgz", "linux-amd64/", "screepts/rpmbase.sh"},
    {"linux-amd64.tgz", "", "screepts/suse.sh"},
};
constexpr int systemCount = int(sizeof systems / sizeof systems[0]);

// The combo box always has a current item; anything else is treated as its first one.
const System &systemAt(int index)
{
    return systems[index >= 0 && index < systemCount ? index : 0];
}

} // namespace

QString InstallerSteps::unpackScript()
{
    return QStringLiteral("screepts/createarch.sh");
}

QString InstallerSteps::cspArchiveName(int system)
{
    return QString::fromLatin1(systemAt(system).cspArchive);
}

QString InstallerSteps::pluginArchiveName()
{
    return QStringLiteral("cades_linux_amd64.tar.gz");
}

QString InstallerSteps::workDirectory(const QString &home)
{
    return home + QStringLiteral("/buildcpcsp/");
}

QString InstallerSteps::terminalProgram()
{
    return QStringLiteral("xterm");
}

QStringList InstallerSteps::terminalArguments(int system, const QString &home)
{
    const System &s = systemAt(system);
    return {QStringLiteral("-e"), QString::fromLatin1(s.script),
            workDirectory(home) + QString::fromLatin1(s.unpackedDirectory)};
}

InstallerSteps::UnpackOutcome InstallerSteps::unpackOutcome(const ToolResult &result)
{
    if (!result.ended())
        return {false, result.errorText};
    // The script says itself what went wrong; only its exit code tells whether it did.
    if (result.exitCode != 0)
        return {false, result.output + QStringLiteral("\nОшибка распаковки архива\n")};
    return {true, result.output + QStringLiteral("\nРаспаковка архива завершена\n")};
}
