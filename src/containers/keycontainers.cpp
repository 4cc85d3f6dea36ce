#include "containers/keycontainers.h"

#include <QRandomGenerator>

namespace KeyContainers {

QStringList containerNames(const QString &listing)
{
    QStringList names;
    for (const QString &line : listing.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1Char('\\')))
            names << line;
    return names;
}

QStringList readerNames(const QString &listing)
{
    QStringList names;
    for (const QString &line : listing.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String(" 0x0")))
            names << line.mid(15);
    return names;
}

QString copyShortName(const QString &sourceName)
{
    const QString last = sourceName.split(QLatin1Char('\\')).constLast();
    return last.size() > 13 ? last.left(12) : last;
}

int copyNumber(int secondsSinceMidnight)
{
    QRandomGenerator generator{quint32(secondsSinceMidnight)};
    return int(generator.generate() % 100000);
}

QString copyTargetName(const QString &sourceName, const QString &store, int copyNumber)
{
    return QStringLiteral("\\\\.\\") + store + QLatin1Char('\\') + copyShortName(sourceName) +
           QString::number(copyNumber);
}

QStringList deleteArguments(const QString &containerName)
{
    return {QStringLiteral("-keyset"), QStringLiteral("-deletekeyset"), QStringLiteral("-cont"),
            containerName};
}

} // namespace KeyContainers
