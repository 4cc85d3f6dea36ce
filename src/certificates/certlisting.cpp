#include "certificates/certlisting.h"

#include "csp/listinglines.h"

#include <QStringView>
#include <QVector>

#include <climits>

namespace {

using ListingLines::Field;

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

        const Field field = ListingLines::fieldOf(line);
        if (field == Field::None)
            continue;
        if (field == Field::Issuer)
            records.append(CertificateRecord());
        // A line before the first certificate of this listing belongs to none.
        if (records.isEmpty())
            continue;

        CertificateRecord &record = records.last();
        const QStringView value = ListingLines::valueOf(line);
        const QStringView cn(u"CN=");
        switch (field) {
        case Field::Issuer:
            record.store = store;
            record.issuer = shownAttribute(value, cn);
            break;
        case Field::Subject:
            // A second subject line of one certificate replaces the first.
            record.owner = ownerOf(shownAttribute(value, u"SN="), shownAttribute(value, cn));
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

QString CertListing::ownerOf(const QString &sn, const QString &cn)
{
    // Many issuers put the whole name into CN, surname first.
    if (sn.isEmpty() || cn == sn ||
        (cn.startsWith(sn) && cn.size() > sn.size() && cn.at(sn.size()) == QLatin1Char(' ')))
        return cn;
    return sn + QLatin1Char(' ') + cn;
}

QDate CertListing::endDate(const QString &notAfter)
{
    const QStringList dayMonthYear =
        notAfter.left(notAfter.indexOf(QLatin1Char(' '))).split(QLatin1Char('/'));
    if (dayMonthYear.size() < 3)
        return {};
    return QDate(dayMonthYear.at(2).toInt(), dayMonthYear.at(1).toInt(),
                 dayMonthYear.at(0).toInt());
}

int CertListing::daysLeft(const QString &notAfter, const QDate &today)
{
    const QDate date = endDate(notAfter);
    // A year far beyond any certificate's still counts the right way: the days are capped rather
    // than wrapped round into the past.
    return date.isValid() ? int(qBound(qint64(INT_MIN), today.daysTo(date), qint64(INT_MAX))) : 0;
}

QString CertListing::expiryToolTip(const QString &notAfter, const QDate &today)
{
    if (!endDate(notAfter).isValid())
        return QStringLiteral("Дата окончания срока действия не распознана");
    const int days = daysLeft(notAfter, today);
    if (days < 0)
        return QStringLiteral("Срок действия истёк");
    if (days == 0)
        return QStringLiteral("Срок действия истекает сегодня");
    // 1, 21, 101 день; 2-4, 22-24 дня; 5-20, 11-14, 111-114 дней.
    const int tens = days % 100;
    const int ones = days % 10;
    const char *word = tens >= 11 && tens <= 14 ? "дней"
                       : ones == 1              ? "день"
                       : ones >= 2 && ones <= 4 ? "дня"
                                                : "дней";
    return QStringLiteral("Действует ещё %1 %2").arg(days).arg(QString::fromUtf8(word));
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
