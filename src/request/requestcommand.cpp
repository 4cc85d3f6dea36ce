#include "requestcommand.h"

namespace {
const QString quote = QStringLiteral("\"");
const QString tripleQuote = QStringLiteral("\"\"\"");
} // namespace

QStringList RequestCommand::attributeNames(bool privatePerson)
{
    if (privatePerson)
        return {QStringLiteral("SN"),
                QStringLiteral("G"),
                QStringLiteral("I"),
                QStringLiteral("CN"),
                QStringLiteral("OID.1.2.840.113549.1.9.2"),
                QStringLiteral("T"),
                QStringLiteral("E"),
                QStringLiteral("SNILS"),
                QStringLiteral("INN"),
                QStringLiteral("L")};
    return {QStringLiteral("SN"),
            QStringLiteral("G"),
            QStringLiteral("I"),
            QStringLiteral("CN"),
            QStringLiteral("OID.1.2.840.113549.1.9.2"),
            QStringLiteral("T"),
            QStringLiteral("OU"),
            QStringLiteral("E"),
            QStringLiteral("O"),
            QStringLiteral("STREET"),
            QStringLiteral("SNILS"),
            QStringLiteral("INN"),
            QStringLiteral("OGRN"),
            QStringLiteral("L")};
}

QString RequestCommand::distinguishedName(const QMap<QString, QString> &values, bool privatePerson,
                                          const QString &country, const QString &region)
{
    QString dn;
    for (const QString &name : attributeNames(privatePerson)) {
        QString value = values.value(name);
        if (value.isEmpty())
            continue;
        // Two quotes in a row vanish when the command text is split, so a lone quote in a
        // value is dropped rather than ending the quoted distinguished name.
        value = value.trimmed().replace(quote, quote + quote);
        // The organisation and the address may hold commas, which the utility would otherwise
        // take for the end of the attribute.
        if (name == QLatin1String("O") || name == QLatin1String("STREET"))
            dn += name + QLatin1Char('=') + tripleQuote + value + tripleQuote + QLatin1Char(',');
        else
            dn += name + QLatin1Char('=') + value + QLatin1Char(',');
    }
    dn += QStringLiteral("C=") + country + QStringLiteral(",S=") + region;
    return dn;
}

QString RequestCommand::usageList(bool egis, bool pgu)
{
    QString usage = quote;
    if (egis)
        usage += QStringLiteral("1.2.643.100.114.2,");
    if (pgu)
        usage += QStringLiteral("1.2.643.100.113.1,");
    usage += QStringLiteral("1.3.6.1.5.5.7.3.2,1.3.6.1.5.5.7.3.4") + quote;
    return usage;
}

QString RequestCommand::containerPart(bool newKey, const QString &keyStore,
                                      const QString &existingContainer, const QString &name)
{
    // The quote after the key store only closes the quoted stretch: the argument is the full
    // container name \\.\STORE\name, with blanks in the reader name kept inside it.
    if (newKey)
        return QStringLiteral("-cont \"\\\\.\\") + keyStore + QStringLiteral("\\\"") + name;
    // Reader names may hold blanks, so an existing container's name is quoted like every other
    // container name the program passes.
    return QStringLiteral("-nokeygen -cont ") + quote + existingContainer + quote;
}

QString RequestCommand::commandText(const QString &cspBinDir, const QString &distinguishedName,
                                    const QString &containerPart, const QString &usageList,
                                    const QString &requestPath)
{
    return cspBinDir + QStringLiteral("cryptcp ") + QStringLiteral("-creatrqst ") +
           QStringLiteral("-dn ") + quote + distinguishedName + quote +
           QStringLiteral(" -provtype") + QStringLiteral(" 75") + QStringLiteral(" -both ") +
           containerPart + QStringLiteral(" -certusage ") + usageList + QStringLiteral(" -exprt ") +
           quote + requestPath + quote;
}
