#pragma once

#include <QDate>
#include <QList>
#include <QString>

// certmgr listings in the shape the real utility prints them.
struct ListedCert
{
    QString thumbprint = QStringLiteral("0x4f3c8f0a9b1e2d3c4b5a69788796a5b4c3d2e1f0");
    QString subject = QStringLiteral("SN=Иванов, G=Иван, CN=Иванов Иван, C=RU");
    QString issuer = QStringLiteral("C=RU, L=Москва, O=УЦ Пример, CN=Тестовый УЦ");
    QString notBefore = QStringLiteral("15/03/2026  08:34:55 UTC");
    QString notAfter = QStringLiteral("15/03/2027  08:44:55 UTC");
    QString container; // no Container line when empty
    QString thumbprintLabel = QStringLiteral("SHA1 Hash");
};

// A line with its label padded to the 22-character label column.
inline QString listingLine(const QString &label, const QString &value)
{
    return label.leftJustified(20) + QStringLiteral(": ") + value + QLatin1Char('\n');
}

inline QString certmgrListing(const QList<ListedCert> &certs)
{
    const QString separator = QString(77, QLatin1Char('=')) + QLatin1Char('\n');
    QString text = QStringLiteral("Certmgr 1.1 (c) \"CSP\",  2007-2024.\n"
                                  "program for managing certificates, CRLs and stores\n\n");
    for (int i = 0; i < certs.size(); ++i) {
        const ListedCert &c = certs.at(i);
        text += separator + QString::number(i + 1) + QStringLiteral("-------\n");
        text += listingLine(QStringLiteral("Issuer"), c.issuer);
        text += listingLine(QStringLiteral("Subject"), c.subject);
        text += listingLine(QStringLiteral("Serial"), QStringLiteral("0x120012447fd4e0a1b2c3"));
        text += listingLine(c.thumbprintLabel, c.thumbprint);
        text += listingLine(QStringLiteral("SubjKeyID"), QStringLiteral("9a8b7c6d5e4f"));
        text += listingLine(QStringLiteral("Signature Algorithm"),
                            QStringLiteral("ГОСТ Р 34.11-2012/34.10-2012 256 бит"));
        text += listingLine(QStringLiteral("Not valid before"), c.notBefore);
        text += listingLine(QStringLiteral("Not valid after"), c.notAfter);
        if (!c.container.isEmpty()) {
            text += listingLine(QStringLiteral("PrivateKey Link"), QStringLiteral("Yes"));
            text += listingLine(QStringLiteral("Container"), c.container);
        }
        text +=
            listingLine(QStringLiteral("Extended Key Usage"), QStringLiteral("1.3.6.1.5.5.7.3.2"));
    }
    if (!certs.isEmpty())
        text += separator;
    return text + QStringLiteral("[ErrorCode: 0x00000000]\n");
}

// A "Not valid after" value `days` days from today.
inline QString validUntil(int days)
{
    return QDate::currentDate().addDays(days).toString(QStringLiteral("dd/MM/yyyy")) +
           QStringLiteral("  08:44:55 UTC");
}
