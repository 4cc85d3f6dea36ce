#include "containers/keycontainers.h"

#include <QRandomGenerator>
#include <QRegularExpression>

namespace KeyContainers {

QStringList containerListingArguments()
{
    return {QStringLiteral("-keyset"), QStringLiteral("-enum_cont"), QStringLiteral("-fqcn"),
            QStringLiteral("-verifyc")};
}

QStringList readerListingArguments()
{
    return {QStringLiteral("-enum"), QStringLiteral("-info"), QStringLiteral("-type"),
            QStringLiteral("PP_ENUMREADERS")};
}

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
    // Some CSP builds print a reader's length and a byte before its name, e.g.
    // "0x012a 0x03 Aktiv Rutoken lite 00 00", with blanks that vary between builds (and
    // between copies of a listing).
    static const QRegularExpression twoFields(
        QStringLiteral("^[ \\t]*0x[0-9A-Fa-f]{4}[ \\t]+0x[0-9A-Fa-f]{2}[ \\t]+(\\S.*?)\\s*$"));
    QStringList names;
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch fields = twoFields.match(line);
        if (fields.hasMatch())
            names << fields.captured(1);
        else if (line.startsWith(QLatin1String(" 0x0")))
            names << line.mid(15);
    }
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
