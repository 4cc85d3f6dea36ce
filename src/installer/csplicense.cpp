#include "installer/csplicense.h"

#include "csp/csperrors.h"

#include <QRegularExpression>

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

bool CspLicense::isExpired(const QString &output)
{
    return output.contains(QLatin1String("License is expired or not yet valid"),
                           Qt::CaseInsensitive);
}

int CspLicense::daysLeft(const QString &output)
{
    static const QRegularExpression expires(QStringLiteral("^\\s*Expires:\\s*(\\d+)\\s*day"),
                                            QRegularExpression::MultilineOption |
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = expires.match(output);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QStringList CspLicense::informativeLines(const ToolResult &result)
{
    if (result.ended() && isExpired(result.output))
        return {QStringLiteral("Срок действия лицензии истёк или ещё не начался.")};
    const CspErrors::Verdict verdict = CspErrors::verdict(result);
    if (verdict.failed)
        return verdict.lines;
    QStringList lines = {QStringLiteral("Лицензия действует.")};
    const int days = daysLeft(result.output);
    if (days >= 0)
        lines << QStringLiteral("Осталось дней: ") + QString::number(days);
    return lines;
}

bool CspLicense::needsWarning(const ToolResult &result)
{
    return (result.ended() && isExpired(result.output)) || CspErrors::verdict(result).failed;
}
