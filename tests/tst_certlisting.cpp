// The certmgr listing as the certificate table reads it, the expiry colours, the certmgr
// commands of the certificate buttons and dialog, and the dialog's text.
#include "certificates/certcommands.h"
#include "certificates/certlisting.h"
#include "support/certlistings.h"

#include <QTest>

using Records = QList<CertificateRecord>;
using Command = std::optional<CertCommand>;
Q_DECLARE_METATYPE(Records)
Q_DECLARE_METATYPE(Command)

class TestCertListing : public QObject
{
    Q_OBJECT

private slots:
    void parsesListings_data();
    void parsesListings();
    void coloursByDaysLeft_data();
    void coloursByDaysLeft();
    void buildsCommands_data();
    void buildsCommands();
    void dialogText_data();
    void dialogText();
};

namespace {

const QString thumb = QStringLiteral("4f3c8f0a9b1e2d3c4b5a69788796a5b4c3d2e1f0");
const QString owner = QStringLiteral("Иванов, G=Иван Иванович, CN=Иванов Иван Иванович, C=RU, "
                                     "E=ivanov@example.ru Иванов Иван Иванович, C=RU, "
                                     "E=ivanov@example.ru");
const QDate today(2026, 6, 1);

CertificateRecord record(const QString &store, const QString &container = QString())
{
    CertificateRecord r;
    r.thumbprint = thumb;
    r.store = store;
    r.owner = owner;
    r.issuer = QStringLiteral("Тестовый УЦ");
    r.notBefore = QStringLiteral("15/03/2026  08:34:55 UTC");
    r.notAfter = QStringLiteral("15/03/2027  08:44:55 UTC");
    if (!container.isEmpty())
        r.container = container;
    r.daysLeft = int(today.daysTo(QDate(2027, 3, 15)));
    return r;
}

} // namespace

void TestCertListing::parsesListings_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("store");
    QTest::addColumn<Records>("expected");

    ListedCert plain;
    ListedCert withKey;
    withKey.container = QStringLiteral("HDIMAGE\\\\ivanov.000\\1A2B");
    QTest::newRow("two certificates, one with its container")
        << certmgrListing({withKey, plain}) << "uMy"
        << Records{record("uMy", "HDIMAGE\\\\ivanov.000\\1A2B"), record("uMy")};

    ListedCert bare = plain;
    bare.thumbprint = thumb;
    ListedCert newer = plain;
    newer.thumbprintLabel = QStringLiteral("SHA1 Thumbprint");
    newer.thumbprint = thumb;
    QTest::newRow("thumbprint without 0x, and the newer label")
        << certmgrListing({bare, newer}) << "uMy" << Records{record("uMy"), record("uMy")};

    ListedCert upper = plain;
    upper.thumbprint = QStringLiteral("0X") + thumb;
    Records upperExpected{record("uMy")};
    upperExpected[0].thumbprint = upper.thumbprint;
    QTest::newRow("0X in capitals stays") << certmgrListing({upper}) << "uMy" << upperExpected;

    // Words that are labels elsewhere, inside the values, open no row and fill no cell.
    ListedCert tricky = plain;
    tricky.subject = QStringLiteral("SN=Петров, CN=Container Logistics Issuer Services");
    tricky.issuer = QStringLiteral("O=Subject SHA1 Hash Not valid after, CN=Issuer Services");
    Records trickyExpected{record("uRoot")};
    trickyExpected[0].owner = QStringLiteral("Петров, CN=Container Logistics Issuer Services "
                                             "Container Logistics Issuer Services");
    trickyExpected[0].issuer = QStringLiteral("Issuer Services");
    QTest::newRow("label words in the values")
        << certmgrListing({tricky}) << "uRoot" << trickyExpected;

    QString lower = certmgrListing({plain});
    lower.replace(QStringLiteral("Issuer  "), QStringLiteral("ISSUER  "))
        .replace(QStringLiteral("Subject  "), QStringLiteral("subject  "));
    QTest::newRow("labels in any case") << lower << "uMy" << Records{record("uMy")};

    ListedCert noSn = plain;
    noSn.subject = QStringLiteral("CN=ООО Ромашка, O=ООО Ромашка");
    noSn.issuer = QStringLiteral("O=Без имени");
    Records noSnExpected{record("uMy")};
    noSnExpected[0].owner = QStringLiteral(" ООО Ромашка, O=ООО Ромашка");
    noSnExpected[0].issuer.clear();
    QTest::newRow("no SN, no issuer CN") << certmgrListing({noSn}) << "uMy" << noSnExpected;

    const QString stray = listingLine(QStringLiteral("SHA1 Hash"), QStringLiteral("0xdeadbeef")) +
                          listingLine(QStringLiteral("Not valid after"), validUntil(3));
    QTest::newRow("marker lines before the first certificate")
        << stray + certmgrListing({plain}) << "uMy" << Records{record("uMy")};

    QTest::newRow("error output") << QStringLiteral("Certmgr 1.1 (c) \"CSP\",  2007-2024.\nFailed "
                                                    "to open store\n[ErrorCode: 0x80092004]\n")
                                  << "uMy" << Records{};
    QTest::newRow("empty store") << certmgrListing({}) << "uMy" << Records{};
}

void TestCertListing::parsesListings()
{
    QFETCH(QString, listing);
    QFETCH(QString, store);
    QFETCH(Records, expected);
    const Records records = CertListing::parse(listing, store, today);
    QCOMPARE(records.size(), expected.size());
    for (int i = 0; i < records.size(); ++i) {
        QCOMPARE(records.at(i).thumbprint, expected.at(i).thumbprint);
        QCOMPARE(records.at(i).owner, expected.at(i).owner);
        QCOMPARE(records.at(i).issuer, expected.at(i).issuer);
        QVERIFY(records.at(i) == expected.at(i));
    }
}

void TestCertListing::coloursByDaysLeft_data()
{
    QTest::addColumn<QString>("notAfter");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("colour");

    for (int days : {30, 29, 11, 10, 1, 0, -1, 400}) {
        const char *colour = days >= 30   ? "0,255,0"
                             : days >= 11 ? "255,255,0"
                             : days >= 1  ? "255,150,0"
                                          : "255,0,0";
        QTest::addRow("%d days", days) << validUntil(days) << days << colour;
    }
    QTest::newRow("31 February") << "31/02/2027  08:44:55 UTC" << 0 << "255,0,0";
    QTest::newRow("ISO date") << "2027-03-15 08:44:55" << 0 << "255,0,0";
    QTest::newRow("two parts") << "15/03  08:44:55 UTC" << 0 << "255,0,0";
    QTest::newRow("empty") << "" << 0 << "255,0,0";
}

void TestCertListing::coloursByDaysLeft()
{
    QFETCH(QString, notAfter);
    QFETCH(int, days);
    QFETCH(QString, colour);
    const int left = CertListing::daysLeft(notAfter, QDate::currentDate());
    QCOMPARE(left, days);
    const ExpiryColour c = CertListing::expiryColour(left);
    QCOMPARE(QStringLiteral("%1,%2,%3").arg(c.red).arg(c.green).arg(c.blue), colour);
    QCOMPARE(c.alpha, 127);
}

void TestCertListing::buildsCommands_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QStringList>("expected"); // empty: nothing to run

    using namespace CertCommands;
    const QString dir = QStringLiteral("/opt/c p/");
    const QString path = QStringLiteral("/home/u/a \"b\".cer");
    const QString cont = QStringLiteral("\\\\.\\HDIMAGE\\my \"key\"");
    QTest::newRow("list uRoot") << Command(listStore(dir, "uRoot"))
                                << QStringList{"-list", "-store", "uRoot"};
    QTest::newRow("user, container")
        << installUserCertificate(dir, path, cont)
        << QStringList{"-inst", "-file", path, "-store", "uMy", "-cont", cont};
    QTest::newRow("user, no container, any ending")
        << installUserCertificate(dir, "/h/x.pem", QString())
        << QStringList{"-inst", "-file", "/h/x.pem", "-store", "uMy", "-all"};
    QTest::newRow("user, container, .pem")
        << installUserCertificate(dir, "/h/x.pem", cont) << QStringList();
    QTest::newRow("user, container, .CER")
        << installUserCertificate(dir, "/h/x.CER", cont) << QStringList();
    QTest::newRow("container") << Command(installContainerCertificate(dir, cont))
                               << QStringList{"-inst", "-cont", cont, "-store", "uMy"};
    QTest::newRow("root .p7b") << installRootCertificate(dir, "/h/c a.p7b")
                               << QStringList{"-inst", "-file",  "/h/c a.p7b",
                                              "-all",  "-store", "uRoot"};
    QTest::newRow("root .crt") << installRootCertificate(dir, "/h/ca.crt")
                               << QStringList{"-inst", "-file", "/h/ca.crt", "-store", "uRoot"};
    QTest::newRow("root .der") << installRootCertificate(dir, "/h/ca.der") << QStringList();
    QTest::newRow("crl") << installCrl(dir, "/h/l i.crl")
                         << QStringList{"-inst", "-crl", "-file", "/h/l i.crl", "-store", "uCA"};
    QTest::newRow("crl .CRL") << installCrl(dir, "/h/list.CRL") << QStringList();
    QTest::newRow("show thumbprint")
        << Command(showInstalled(dir, thumb, "uRoot"))
        << QStringList{"-list", "-thumbprint", thumb, "-store", "uRoot"};
    QTest::newRow("show container")
        << Command(showInContainer(dir, cont)) << QStringList{"-list", "-cont", cont};
    QTest::newRow("export") << Command(exportCertificate(dir, "T", "uMy", "/tmp/o \"x\""))
                            << QStringList{"-export", "-cert", "-thumbprint", "T",
                                           "-store",  "uMy",   "-dest",       "/tmp/o \"x\"/T.cer"};
    QTest::newRow("delete") << Command(deleteCertificate(dir, "uMy", "T"))
                            << QStringList{"-delete", "-store", "uMy", "-thumbprint", "T"};
}

void TestCertListing::buildsCommands()
{
    QFETCH(Command, command);
    QFETCH(QStringList, expected);
    QCOMPARE(command.has_value(), !expected.isEmpty());
    if (command) {
        QCOMPARE(command->program, QStringLiteral("/opt/c p/certmgr"));
        QCOMPARE(command->arguments, expected);
    }
}

void TestCertListing::dialogText_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("shown");

    const QString sep77(77, '=');
    QTest::newRow("separators dropped")
        << sep77 + "\nIssuer : x\n" + sep77 + "\n[ErrorCode: 0x00000000]\n"
        << "Issuer : x\n[ErrorCode: 0x00000000]\n\n";
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
