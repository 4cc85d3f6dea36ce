// The certmgr certificate listing read into the table's rows: any output gives rows whose cells
// hold one line each, and whose expiry says the same as the date it came from.
#include "certificates/certlisting.h"
#include "fuzzinput.h"

namespace {

const QDate today(2026, 3, 15);

// The end of validity as a date, read the way a person reads "dd/mm/yyyy ...".
QDate endOf(const QString &notAfter)
{
    const QStringList parts = notAfter.split(QLatin1Char(' ')).constFirst().split('/');
    if (parts.size() < 3)
        return {};
    return QDate(parts.at(2).toInt(), parts.at(1).toInt(), parts.at(0).toInt());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString listing = FuzzInput::text(data, size);
    const QList<CertificateRecord> records =
        CertListing::parse(listing, QStringLiteral("uMy"), today);
    FUZZ_CHECK(records.size() <= listing.count(QLatin1Char('\n')) + 1);
    for (const CertificateRecord &r : records) {
        FUZZ_CHECK(r.store == QLatin1String("uMy"));
        // The owner joins two pieces of the subject line, each of which may run to its end.
        FUZZ_CHECK(!r.owner.contains(QLatin1Char('\n')) &&
                   r.owner.size() <= 2 * listing.size() + 1);
        for (const QString &cell :
             {r.thumbprint, r.issuer, r.notBefore, r.notAfter, r.container.value_or(QString())})
            FUZZ_CHECK(!cell.contains(QLatin1Char('\n')) && cell.size() <= listing.size());
        if (!r.daysLeft)
            continue;
        // A certificate that ends after today is never shown as expired, nor one that ended
        // before it as valid, however far off the date.
        const QDate end = endOf(r.notAfter);
        if (end.isValid() && end > today)
            FUZZ_CHECK(*r.daysLeft > 0);
        if (end.isValid() && end < today)
            FUZZ_CHECK(*r.daysLeft < 0);
        const ExpiryColour colour = CertListing::expiryColour(*r.daysLeft);
        FUZZ_CHECK(colour.alpha == 127 && (colour.red == 255 || colour.green == 255));
    }
    return 0;
}
