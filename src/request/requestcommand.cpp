#include "request/requestcommand.h"

namespace {

const QChar quote = QLatin1Char('"');

// The utility reads double quotes in the name as the bounds of a value, so none may come from
// the user's text.
QString withoutQuotes(QString text)
{
    return text.remove(quote);
}

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
    // The utility takes a comma for the end of a value unless the value stands in double
    // quotes. The organisation and the address are always quoted, as they often hold commas.
    const auto attribute = [](const QString &name, const QString &value) {
        const bool quoted = name == QLatin1String("O") || name == QLatin1String("STREET") ||
                            value.contains(QLatin1Char(','));
        return quoted ? name + QLatin1Char('=') + quote + value + quote
                      : name + QLatin1Char('=') + value;
    };
    QString dn;
    for (const QString &name : attributeNames(privatePerson)) {
        const QString value = values.value(name);
        if (!value.isEmpty())
            dn += attribute(name, withoutQuotes(value.trimmed())) + QLatin1Char(',');
    }
    dn += attribute(QStringLiteral("C"), withoutQuotes(country)) + QLatin1Char(',') +
          attribute(QStringLiteral("S"), withoutQuotes(region));
    return dn;
}

QString RequestCommand::usageList(bool egis, bool pgu)
{
    QString usage;
    if (egis)
        usage += QStringLiteral("1.2.643.100.114.2,");
    if (pgu)
        usage += QStringLiteral("1.2.643.100.113.1,");
    return usage + QStringLiteral("1.3.6.1.5.5.7.3.2,1.3.6.1.5.5.7.3.4");
}

QStringList RequestCommand::containerArguments(bool newKey, const QString &keyStore,
                                               const QString &existingContainer,
                                               const QString &name)
{
    if (newKey)
        return {QStringLiteral("-cont"),
                QStringLiteral("\\\\.\\") + keyStore + QLatin1Char('\\') + name};
    return {QStringLiteral("-nokeygen"), QStringLiteral("-cont"), existingContainer};
}

int RequestCommand::providerType(const QString &algorithm)
{
    struct Algorithm
    {
        const char *text;
        int providerType;
    };
    static const Algorithm algorithms[] = {
        {"ГОСТ Р 34.10-2012 (256 бит)", 80},
        {"ГОСТ Р 34.10-2012 (512 бит)", 81},
        {"ГОСТ Р 34.10-2001 (устаревший)", 75},
    };
    for (const Algorithm &a : algorithms) {
        if (algorithm == QString::fromUtf8(a.text))
            return a.providerType;
    }
    return algorithms[0].providerType;
}

QStringList RequestCommand::arguments(const QString &distinguishedName, int providerType,
                                      const QStringList &containerArguments,
                                      const QString &usageList, const QString &requestPath)
{
    return QStringList{QStringLiteral("-creatrqst"),
                       QStringLiteral("-dn"),
                       distinguishedName,
                       QStringLiteral("-provtype"),
                       QString::number(providerType),
                       QStringLiteral("-both")} +
           containerArguments +
           QStringList{QStringLiteral("-certusage"), usageList, QStringLiteral("-exprt"),
                       requestPath};
}
