// The cryptcp argument lists of signing, encryption, checking and recovery, and which files are
// recovered at all.
#include "signing/signingcommand.h"

#include <QTest>

using namespace SigningCommand;

class TestSigningCommand : public QObject
{
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments();
};

namespace {
const QString thumb = QStringLiteral("0123456789abcdef0123456789abcdef01234567");
const QString wrongName = QStringLiteral("Выберите файл с расширением .sig или .crypt");
} // namespace

void TestSigningCommand::arguments_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("certificateSelected");
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("refusal");

    const QString ab = QStringLiteral("/home/u/a b.txt");
    const QString quoted = QStringLiteral("/home/u/отчёт \"итог\" 2.odt");
    QTest::newRow("sign, blank in the path")
        << "sign" << true << "uMy" << ab
        << QStringList{"-sign", "-thumbprint", thumb, "-uMy", ab, ab + ".sig"} << QString();
    QTest::newRow("encrypt, root store, double quotes in the path")
        << "encrypt" << true << "uRoot" << quoted
        << QStringList{"-encr", "-thumbprint", thumb, "-uRoot", quoted, quoted + ".crypt"}
        << QString();
    QTest::newRow("check") << "check" << false << "" << ab + ".sig"
                           << QStringList{"-verify", ab + ".sig"} << QString();
    QTest::newRow("recover a signed file, no certificate needed")
        << "recover" << false << "" << quoted + ".sig"
        << QStringList{"-verify", quoted + ".sig", quoted} << QString();
    QTest::newRow("recover an encrypted file")
        << "recover" << true << "uMy" << ab + ".crypt"
        << QStringList{"-decr", "-thumbprint", thumb, "-start", ab + ".crypt", ab} << QString();
    QTest::newRow("encrypted file, no certificate")
        << "recover" << false << "" << ab + ".crypt" << QStringList()
        << QStringLiteral("Не выбран сертификат для расшифровки");
    QTest::newRow("another name is not cut to 'repo'")
        << "recover" << true << "uMy"
        << "/home/u/report.p7m" << QStringList() << wrongName;
    QTest::newRow("upper-case .SIG")
        << "recover" << true << "uMy" << ab + ".SIG" << QStringList() << wrongName;
}

void TestSigningCommand::arguments()
{
    QFETCH(QString, operation);
    QFETCH(bool, certificateSelected);
    QFETCH(QString, store);
    QFETCH(QString, input);
    QFETCH(QStringList, expected);
    QFETCH(QString, refusal);

    Recovery got;
    if (operation == "sign")
        got.arguments = signArguments(thumb, store, input);
    else if (operation == "encrypt")
        got.arguments = encryptArguments(thumb, store, input);
    else if (operation == "check")
        got.arguments = checkArguments(input);
    else
        got = recovery(input, certificateSelected, certificateSelected ? thumb : QString());
    QCOMPARE(got.arguments, expected);
    QCOMPARE(got.refusal, refusal);
}

QTEST_APPLESS_MAIN(TestSigningCommand)
#include "tst_signingcommand.moc"
