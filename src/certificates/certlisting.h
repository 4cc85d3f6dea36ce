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
    // The value of the subject's SN, a blank, and the value of its CN, each unquoted.
    QString owner;
    // The value of the issuer's CN, unquoted.
    QString issuer;
    QString notBefore;
    QString notAfter;
    // The key container of the private key; none when the listing names none.
    std::optional<QString> container;
    // Days from today to the end of validity; none when the listing gives no end.
    std::optional<int> daysLeft;

    bool operator==(const CertificateRecord &o) const
    {
        return thumbprint == o.thumbprint && store == o.store && owner == o.owner &&
               issuer == o.issuer && notBefore == o.notBefore && notAfter == o.notAfter &&
               container == o.container && daysLeft == o.daysLeft;
    }
};

// A colour with its components from 0 to 255.
struct ExpiryColour
{
    int red = 0;
    int green = 0;
    int blue = 0;
    int alpha = 0;
    bool operator==(const ExpiryColour &o) const
    {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
};

namespace CertListing {

// The width of a listing's label column ("Issuer              : "); the value follows it.
constexpr int labelWidth = 22;

// What a listing line holds, by its label. The certificate table and the loading of the request
// form from a certificate both read lines through here, so they agree on which line is which.
enum class Field { Issuer, Subject, Thumbprint, NotBefore, NotAfter, Container, None };

// The field of a line: its label column, up to the first colon, names it in any case. Whatever
// stands after that belongs to the value, however much it looks like a label.
Field fieldOf(QStringView line);

// The value of a line: what follows its label column.
inline QStringView valueOf(QStringView line)
{
    return line.mid(labelWidth);
}

// The value of the first attribute `key` ("CN=") of a distinguished name as certmgr prints it,
// for showing: it ends at the next ", " outside double quotes, and a value in double quotes is
// shown without them, a doubled quote inside as one. Empty when there is no such attribute.
QString shownAttribute(QStringView name, QStringView key);

// The certificates of one `certmgr -list` output, in listing order, every one tagged with
// `store`. A certificate begins at its "Issuer" line. Labels are recognised only in the label
// column, in any case, so a subject or issuer that merely contains a label word changes nothing.
QList<CertificateRecord> parse(const QString &listing, const QString &store,
                               const QDate &today = QDate::currentDate());

// Days from `today` to the date that begins a "Not valid after" value ("dd/mm/yyyy hh:mm:ss
// UTC"); 0 when that date cannot be read.
int daysLeft(const QString &notAfter, const QDate &today);

// The half-transparent background of a thumbprint cell: green from 30 days left on, yellow from
// 11, orange from 1, red on the last day, after it, or for an unreadable date.
ExpiryColour expiryColour(int daysLeft);

} // namespace CertListing
