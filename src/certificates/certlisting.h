#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// One installed certificate as a certmgr listing describes it.
struct CertificateRecord
{
    // The SHA-1 thumbprint without a leading "0x": what certmgr and cryptcp take after
    // "-thumbprint".
    QString thumbprint;
    // The store the listing came from ("uRoot", "uMy").
    QString store;
    // Who the certificate belongs to, from the subject's SN and CN (see ownerOf).
    QString owner;
    // The value of the issuer's CN, unquoted.
    QString issuer;
    QString notBefore;
    QString notAfter;
    // The key container of the private key; none when the listing names none.
    std::optional<QString> container;
    // Days from today to the end of validity; none when the listing gives no end.
    std::optional<int> daysLeft;
};

// A colour with its components from 0 to 255.
struct ExpiryColour
{
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
};

namespace CertListing {

// The value of the first attribute `key` ("CN=") of a distinguished name as certmgr prints it,
// for showing: it ends at the next ", " outside double quotes, and a value in double quotes is
// shown without them, a doubled quote inside as one. Empty when there is no such attribute.
QString shownAttribute(QStringView name, QStringView key);

// The certificates of one `certmgr -list` output, in listing order, every one tagged with
// `store`. A certificate begins at its "Issuer" line. Labels are recognised only in the label
// column, in any case, so a subject or issuer that merely contains a label word changes nothing.
QList<CertificateRecord> parse(const QString &listing, const QString &store,
                               const QDate &today = QDate::currentDate());

// The owner as the table shows it: the SN value, a blank and the CN value; the CN value alone
// when it already begins with the surname (or is it), or when there is no SN.
QString ownerOf(const QString &sn, const QString &cn);

// The calendar date that begins a "Not valid after" value ("dd/mm/yyyy hh:mm:ss UTC"); invalid
// when it cannot be read.
QDate endDate(const QString &notAfter);

// Days from `today` to endDate(notAfter); 0 when that date cannot be read.
int daysLeft(const QString &notAfter, const QDate &today);

// What the coloured thumbprint cell says about the days left: how many, or that the certificate
// has expired; for an end that cannot be read, that it cannot.
QString expiryToolTip(const QString &notAfter, const QDate &today);

// The half-transparent background of a thumbprint cell: green from 30 days left on, yellow from
// 11, orange from 1, red on the last day, after it, or for an unreadable date.
ExpiryColour expiryColour(int daysLeft);

} // namespace CertListing
