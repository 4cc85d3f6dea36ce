#include "request/subjectfields.h"

#include "csp/listinglines.h"

#include <QStringList>

namespace {

struct Prefix
{
    QString prefix;
    QString attribute;
};

// Tested in this order on every component, each at the component's start and case-sensitive,
// so that "SNILS=" is not taken for SN nor "OGRN=" for O.
const QList<Prefix> &prefixes()
{
    static const QList<Prefix> table{
        {QStringLiteral("SN="), QStringLiteral("SN")},
        {QStringLiteral("G="), QStringLiteral("G")},
        {QStringLiteral("I="), QStringLiteral("I")},
        {QStringLiteral("T="), QStringLiteral("T")},
        {QStringLiteral("UnstructuredName="), QStringLiteral("UnstructuredName")},
        {QStringLiteral("O="), QStringLiteral("O")},
        {QStringLiteral("STREET="), QStringLiteral("STREET")},
        {QStringLiteral("E="), QStringLiteral("E")},
        {QStringLiteral("SNILS="), QStringLiteral("SNILS")},
        {QStringLiteral("INN="), QStringLiteral("INN")},
        {QStringLiteral("OGRN="), QStringLiteral("OGRN")},
        {QStringLiteral("L="), QStringLiteral("L")},
    };
    return table;
}

} // namespace

QString SubjectFields::subjectFromListing(const QString &listing)
{
    QString subject;
    const QStringList lines = listing.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        // A file with a chain lists several subjects; the last one is the holder's.
        if (ListingLines::fieldOf(line) == ListingLines::Field::Subject)
            subject = ListingLines::valueOf(line).toString();
    }
    return subject;
}

SubjectFields::Fields SubjectFields::split(const QString &subject)
{
    Fields fields;
    const QStringList components = subject.split(QStringLiteral(", "));
    if (components.size() <= 1)
        return fields;

    fields.streetSet = true;
    for (const QString &component : components) {
        for (const Prefix &p : prefixes()) {
            if (!component.startsWith(p.prefix))
                continue;
            const QString value = component.mid(p.prefix.size());
            if (p.attribute == QLatin1String("STREET"))
                fields.street += value;
            else
                fields.values.append({p.attribute, value});
        }
        if (!component.contains(QLatin1Char('=')))
            fields.street += QStringLiteral(", ") + component;
    }
    return fields;
}
