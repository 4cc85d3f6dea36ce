#include "certificates/certlisting.h"

#include <QStringView>
#include <QVector>

#include <climits>
#include <string_view>

namespace {

using CertListing::Field;

struct Marker
{
    std::string_view label; // in lower case
    Field field;
};

// Tested in this order. Newer certmgr releases call the thumbprint "SHA1 Thumbprint".
constexpr Marker markers[] = {
    {"issuer", Field::Issuer},
    {"subject", Field::Subject},
    {"sha1 hash", Field::Thumbprint},
    {"sha1 thumbprint", Field::Thumbprint},
    {"not valid before", Field::NotBefore},
    {"not valid after", Field::NotAfter},
    {"container", Field::Container},
};

// Where the attribute that begins at `from` ends: at the next ", " outside double quotes, or at
// the end of the name.
qsizetype attributeEnd(QStringView name, qsizetype from)
{
    bool quoted = false;
    for (qsizetype at = from; at < name.size(); ++at) {
        const QChar c = name.at(at);
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char(',') && at + 1 < name.size() &&
                 name.at(at + 1) == QLatin1Char(' '))
            return at;
    }
    return name.size();
}

QString unquoted(QStringView value)
{
    const QLatin1Char quote('"');
    if (value.size() < 2 || !value.startsWith(quote) || !value.endsWith(quote))
        return value.toString();
    return value.mid(1, value.size() - 2)
        .toString()
        .replace(QLatin1String("\"\""), QLatin1String("\""));
}

} // namespace

// Every line of a listing passes through fieldOf, so the label is folded once into a small
// buffer: ASCII letters to lower case, and any other character that is not ASCII to one byte that
// no marker holds. Qt's full case folding would cost more than the rest of reading a listing.
Field CertListing::fieldOf(QStringView line)
{
    char label[CertListing::labelWidth];
    std::size_t size = 0;
    for (const QChar c : line.left(CertListing::labelWidth)) {
        const char16_t u = c.unicode();
        if (u == u':')
            break;
        label[size++] = u >= u'A' && u <= u'Z' ? char(u - u'A' + 'a') : u < 0x80 ? char(u) : '\x80';
    }
    const std::string_view text(label, size);
    for (const Marker &m : markers) {
        // Labels are a few characters long: a plain scan beats a library search here.
        for (std::size_t at = 0; at + m.label.size() <= text.size(); ++at) {
            if (text[at] == m.label[0] && text.compare(at, m.label.size(), m.label) == 0)
                return m.field;
        }
    }
    return Field::None;
}

QString CertListing::shownAttribute(QStringView name, QStringView key)
{
    for (qsizetype start = 0; start < name.size();) {
        const qsizetype end = attributeEnd(name, start);
        const QStringView attribute = name.mid(start, end - start);
        if (attribute.startsWith(key))
            return unquoted(attribute.mid(key.size()));
        start = end + 2;
    }
    return QString();
}

QList<CertificateRecord> CertListing::parse(const QString &listing, const QString &store,
                                            const QDate &today)
{
    QList<CertificateRecord> records;
    // Views into the listing: only the parts of the few lines that are used are copied.
    const QStringView text(listing);
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(start, end - start);
        start = end + 1;

        const Field field = fieldOf(line);
        if (field == Field::None)
            continue;
        if (field == Field::Issuer)
            records.append(CertificateRecord());
        // A line before the first certificate of this listing belongs to none.
        if (records.isEmpty())
            continue;

        CertificateRecord &record = records.last();
        const QStringView value = valueOf(line);
        const QStringView cn(u"CN=");
        switch (field) {
        case Field::Issuer:
            record.store = store;
            record.issuer = shownAttribute(value, cn);
            break;
        case Field::Subject:
            // A second subject line of one certificate replaces the first.
            record.owner =
                shownAttribute(value, u"SN=") + QLatin1Char(' ') + shownAttribute(value, cn);
            break;
        case Field::Thumbprint:
            record.thumbprint =
                (value.startsWith(QLatin1String("0x")) ? value.mid(2) : value).toString();
            break;
        case Field::NotBefore:
            record.notBefore = value.toString();
            break;
        case Field::NotAfter:
            record.notAfter = value.toString();
            record.daysLeft = daysLeft(record.notAfter, today);
            break;
        case Field::Container:
            record.container = value.toString();
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
        notAfter.left(notAfter.indexOf(QLatin1Char(' '))).split(QLatin1Char('/'));
    if (dayMonthYear.size() < 3)
        return 0;
    const QDate date(dayMonthYear.at(2).toInt(), dayMonthYear.at(1).toInt(),
                     dayMonthYear.at(0).toInt());
    // A year far beyond any certificate's still counts the right way: the days are capped rather
    // than wrapped round into the past.
    return date.isValid() ? int(qBound(qint64(INT_MIN), today.daysTo(date), qint64(INT_MAX))) : 0;
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
