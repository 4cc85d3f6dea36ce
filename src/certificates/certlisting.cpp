#include "certificates/certlisting.h"

#include <QStringList>
#include <QVector>

#include <climits>

namespace {

enum class Field { Issuer, Subject, Thumbprint, NotBefore, NotAfter, Container, None };

struct Marker
{
    QLatin1String label;
    Field field;
};

// Tested in this order. Newer certmgr releases call the thumbprint "SHA1 Thumbprint".
const Marker markers[] = {
    {QLatin1String("Issuer"), Field::Issuer},
    {QLatin1String("Subject"), Field::Subject},
    {QLatin1String("SHA1 Hash"), Field::Thumbprint},
    {QLatin1String("SHA1 Thumbprint"), Field::Thumbprint},
    {QLatin1String("Not valid before"), Field::NotBefore},
    {QLatin1String("Not valid after"), Field::NotAfter},
    {QLatin1String("Container"), Field::Container},
};

// The label of a listing line: its first 22 characters, up to the first colon. Whatever stands
// after that belongs to the value, however much it looks like a label.
QStringRef labelOf(const QStringRef &line)
{
    QStringRef label = line.left(CertListing::labelWidth);
    const int colon = label.indexOf(QLatin1Char(':'));
    return colon < 0 ? label : label.left(colon);
}

constexpr ushort asciiLower(ushort c)
{
    return c >= 'A' && c <= 'Z' ? ushort(c + ('a' - 'A')) : c;
}

// The labels are ASCII, so folding ASCII letters is enough; Qt's full case folding costs more
// than the rest of reading a listing, and every line passes here.
bool containsIgnoringCase(const QStringRef &label, QLatin1String marker)
{
    for (int start = 0; start + marker.size() <= label.size(); ++start) {
        int i = 0;
        while (i < marker.size() &&
               asciiLower(label.at(start + i).unicode()) == asciiLower(marker.at(i).unicode()))
            ++i;
        if (i == marker.size())
            return true;
    }
    return false;
}

Field fieldOf(const QStringRef &line)
{
    const QStringRef label = labelOf(line);
    for (const Marker &m : markers) {
        if (containsIgnoringCase(label, m.label))
            return m.field;
    }
    return Field::None;
}

// The text between the first `key` and the next one, or the end of the value.
QString part(const QString &value, const QString &key)
{
    return value.section(key, 1, 1);
}

} // namespace

QList<CertificateRecord> CertListing::parse(const QString &listing, const QString &store,
                                            const QDate &today)
{
    QList<CertificateRecord> records;
    // References into the listing: only the few lines that are used are copied.
    const QVector<QStringRef> lines = listing.splitRef(QLatin1Char('\n'));
    for (const QStringRef &line : lines) {
        const Field field = fieldOf(line);
        if (field == Field::None)
            continue;
        if (field == Field::Issuer)
            records.append(CertificateRecord());
        // A line before the first certificate of this listing belongs to none.
        if (records.isEmpty())
            continue;

        CertificateRecord &record = records.last();
        const QString value = line.mid(labelWidth).toString();
        const QString cn = QStringLiteral("CN=");
        switch (field) {
        case Field::Issuer:
            record.store = store;
            record.issuer = part(value, cn);
            break;
        case Field::Subject:
            record.owner = part(value, QStringLiteral("SN=")) + QLatin1Char(' ') + part(value, cn);
            break;
        case Field::Thumbprint:
            record.thumbprint = value.startsWith(QLatin1String("0x")) ? value.mid(2) : value;
            break;
        case Field::NotBefore:
            record.notBefore = value;
            break;
        case Field::NotAfter:
            record.notAfter = value;
            record.daysLeft = daysLeft(value, today);
            break;
        case Field::Container:
            record.container = value;
            break;
        case Field::None:
            break;
        }
    }
    return records;
}

int CertListing::daysLeft(const QString &notAfter, const QDate &today)
{
    const QStringList dayMonthYear =
        notAfter.split(QLatin1Char(' ')).constFirst().split(QLatin1Char('/'));
    if (dayMonthYear.size() < 3)
        return 0;
    const QDate date(dayMonthYear.at(2).toInt(), dayMonthYear.at(1).toInt(),
                     dayMonthYear.at(0).toInt());
    // A year far beyond any certificate's still counts the right way: the days are capped rather
    // than wrapped round into the past.
    return date.isValid() ? int(qBound<qint64>(INT_MIN, today.daysTo(date), INT_MAX)) : 0;
}

ExpiryColour CertListing::expiryColour(int daysLeft)
{
    const int alpha = 127;
    if (daysLeft >= 30)
        return {0, 255, 0, alpha};
    if (daysLeft >= 11)
        return {255, 255, 0, alpha};
    if (daysLeft >= 1)
        return {255, 150, 0, alpha};
    return {255, 0, 0, alpha};
}
