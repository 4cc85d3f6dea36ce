#include "installer/csplicense.h"

QString CspLicense::cpconfigPath(const QString &binDir)
{
    QString dir = binDir;
    while (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    const int archStart = dir.lastIndexOf(QLatin1Char('/')) + 1;
    const QString prefixBin = dir.left(archStart);
    const QString program = QStringLiteral("cpconfig");
    if (archStart > 0 &&
        (prefixBin == QLatin1String("bin/") || prefixBin.endsWith(QLatin1String("/bin/")))) {
        return prefixBin.left(prefixBin.size() - 4) + QStringLiteral("sbin/") + dir.mid(archStart) +
               QLatin1Char('/') + program;
    }
    return dir.isEmpty() ? program : dir + QLatin1Char('/') + program;
}

QStringList CspLicense::viewArguments()
{
    return {QStringLiteral("-license"), QStringLiteral("-view")};
}

bool CspLicense::needsWarning(const ToolResult &result)
{
    return !result.succeeded() ||
           result.output.contains(QLatin1String("expired"), Qt::CaseInsensitive);
}
