// Reading certmgr listings into certificate records, and what the certificate dialog shows.
#include "certificates/certcommands.h"
#include "certificates/certlisting.h"
#include "support/certlistings.h"

#include <QTest>

#include <climits>

class TestCertListing : public QObject
{
    Q_OBJECT

private slots:
    void parsesListings_data();
    void parsesListings();
    void daysLeft_data();
    void daysLeft();
    void dialogText_data();
    void dialogText();
};

namespace {

const QDate today(2026, 6, 1);
const QString thumb = QStringLiteral("4f3c8f0a9b1e2d3c4b5a69788796a5b4c3d2e1f0");

// thumbprint|store|owner|issuer|not before|not after|container|days left; "-" for none, and
// the listing's defaults for a null owner or issuer.
QString record(const QString &store, const QString &owner = {}, const QString &issuer = {},
               const QString &container = "-", const QString &thumbprint = thumb)
{
    return QStringList{thumbprint,
                       store,
                       owner.isNull() ? "Иванов Иван" : owner,
                       issuer.isNull() ? "Тестовый УЦ" : issuer,
                       ListedCert().notBefore,
                       ListedCert().notAfter,
                       container,
                       QString::number(today.daysTo(QDate(2027, 3, 15)))}
        .join('|');
}

} // namespace

void TestCertListing::parsesListings_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QStringList>("records");

    ListedCert plain;
    ListedCert keyed;
    keyed.container = "HDIMAGE\\\\ivanov.000\\1A2B";
    ListedCert newer; // newer certmgr releases: another label, no "0x"
    newer.thumbprintLabel = "SHA1 Thumbprint";
    newer.thumbprint = thumb;
    QTest::newRow("0x, container, newer label")
        << certmgrListing({keyed, plain, newer})
        << QStringList{record("uMy", {}, {}, keyed.container), record("uMy"), record("uMy")};

    ListedCert upper;
    upper.thumbprint = "0X" + thumb;
    QTest::newRow("0X in capitals stays")
        << certmgrListing({upper}) << QStringList{record("uMy", {}, {}, "-", upper.thumbprint)};

    // Label words inside the values open no row and fill no cell.
    ListedCert tricky;
    tricky.subject = "SN=Петров, CN=Container Logistics Issuer Services";
    tricky.issuer = "O=Subject SHA1 Hash Not valid after, CN=Issuer Services";
    QTest::newRow("label words in values")
        << certmgrListing({tricky})
        << QStringList{
               record("uMy", "Петров Container Logistics Issuer Services", "Issuer Services")};

    QString capitals = certmgrListing({plain});
    capitals.replace("Issuer  ", "ISSUER  ").replace("Subject  ", "subject  ");
    QTest::newRow("labels in any case") << capitals << QStringList{record("uMy")};

    ListedCert noSn;
    noSn.subject = "CN=ООО Ромашка, O=ООО Ромашка";
    noSn.issuer = "O=Без имени";
    QTest::newRow("no SN, no issuer CN")
        << certmgrListing({noSn}) << QStringList{record("uMy", "ООО Ромашка", "")};

    // Each value ends with its attribute; quoted ones are shown unquoted.
    ListedCert real;
    real.subject = "SNILS=***, INN=***, SN=Сидоренко, G=Ирина, CN=Сидоренко Ирина, C=RU";
    real.issuer = "O=\"АО \"\"ИИТ\"\"\", CN=\"АО \"\"ИИТ\"\", Москва\", C=RU";
    ListedCert masked;
    masked.subject = "CN=*** ***, INN=***, SN=***";
    masked.issuer = "CN=\"УЦ, O=x";
    QTest::newRow("several attributes, quotes, masked values, SN last, a quote left open")
        << certmgrListing({real, masked})
        << QStringList{record("uMy", "Сидоренко Ирина", "АО \"ИИТ\", Москва"),
                       record("uMy", "*** ***", "\"УЦ, O=x")};

    // The surname is left out only where CN repeats it as a word of its own.
    ListedCert onlySurname, longerWord, emptySn;
    onlySurname.subject = "SN=Петров, CN=Петров";
    longerWord.subject = "SN=Петров, CN=Петровский Пётр";
    emptySn.subject = "SN=, CN=ООО Ромашка";
    QTest::newRow("CN is the surname, CN's first word is longer, SN empty")
        << certmgrListing({onlySurname, longerWord, emptySn})
        << QStringList{record("uMy", "Петров"), record("uMy", "Петров Петровский Пётр"),
                       record("uMy", "ООО Ромашка")};

    QTest::newRow("marker lines before the first certificate")
        << listingLine("SHA1 Hash", "0xdeadbeef") + listingLine("Container", "x") +
               certmgrListing({plain})
        << QStringList{record("uMy")};
    QTest::newRow("error output") << "Certmgr 1.1\nFailed to open store\n[ErrorCode: 0x80092004]\n"
                                  << QStringList();
}

void TestCertListing::parsesListings()
{
    QFETCH(QString, listing);
    QFETCH(QStringList, records);
    QStringList parsed;
    for (const CertificateRecord &r : CertListing::parse(listing, "uMy", today))
        parsed << QStringList{r.thumbprint,
                              r.store,
                              r.owner,
                              r.issuer,
                              r.notBefore,
                              r.notAfter,
                              r.container.value_or("-"),
                              QString::number(r.daysLeft.value_or(-9999))}
                      .join('|');
    QCOMPARE(parsed, records);
}

void TestCertListing::daysLeft_data()
{
    QTest::addColumn<QString>("notAfter");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("toolTip");
    const QString unreadable = "Дата окончания срока действия не распознана";
    const QString expired = "Срок действия истёк";
    QTest::newRow("a year ahead") << "01/06/2027  08:44:55 UTC" << 365 << "Действует ещё 365 дней";
    QTest::newRow("one day") << "02/06/2026  08:44:55 UTC" << 1 << "Действует ещё 1 день";
    QTest::newRow("22 days") << "23/06/2026  08:44:55 UTC" << 22 << "Действует ещё 22 дня";
    QTest::newRow("ends today") << "01/06/2026  08:44:55 UTC" << 0
                                << "Срок действия истекает сегодня";
    QTest::newRow("ended yesterday") << "31/05/2026  08:44:55 UTC" << -1 << expired;
    QTest::newRow("unreadable") << "garbage" << 0 << unreadable;
    QTest::newRow("no such day") << "31/02/2027  08:44:55 UTC" << 0 << unreadable;
    // Found by fuzzing: the days to such a year do not fit an int and came out negative.
    QTest::newRow("year far ahead")
        << "31/12/20252012  08:44:55 UTC" << INT_MAX << "Действует ещё 2147483647 дней";
    QTest::newRow("year far back") << "31/12/-20252012  08:44:55 UTC" << INT_MIN << expired;
}

void TestCertListing::daysLeft()
{
    QFETCH(QString, notAfter);
    QFETCH(int, days);
    QFETCH(QString, toolTip);
    QCOMPARE(CertListing::daysLeft(notAfter, today), days);
    QCOMPARE(CertListing::expiryToolTip(notAfter, today), toolTip);
}

void TestCertListing::dialogText_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("shown");

    const QString sep77(77, '=');
    QTest::newRow("separators dropped") << sep77 + "\nIssuer : x\n" + sep77 + "\n[ErrorCode: 0x0]"
                                        << "Issuer : x\n[ErrorCode: 0x0]\n";
    QTest::newRow("76 and 78 kept") << QString(76, '=') + "\n" + QString(78, '=')
                                    << QString(76, '=') + "\n" + QString(78, '=') + "\n";
    QTest::newRow("no certificate in the container")
        << "Certmgr\n[ErrorCode: 0x8010002c]\n"
        << "Certmgr\n[ErrorCode: 0x8010002c]\n\nСертификат в контейнере отсутствует\n\n";
    QTest::newRow("no such container") << "[ErrorCode: 0x8009001f]"
                                       << "[ErrorCode: 0x8009001f]\nКонтейнер не обнаружен\n";
    QTest::newRow("codes compared exactly")
        << "[ErrorCode: 0x8009001F]\n [ErrorCode: 0x8010002c]"
        << "[ErrorCode: 0x8009001F]\n [ErrorCode: 0x8010002c]\n";
}

void TestCertListing::dialogText()
{
    QFETCH(QString, listing);
    QFETCH(QString, shown);
    QCOMPARE(CertCommands::dialogText(listing), shown);
}

QTEST_GUILESS_MAIN(TestCertListing)
#include "tst_certlisting.moc"
