// The cryptcp argument lists of the document operations, and which files are recovered at all.
#include "signing/signingcommand.h"

#include <QTest>

using namespace SigningCommand;
Q_DECLARE_METATYPE(Recovery)

class TestSigningCommand : public QObject
{
    Q_OBJECT

private slots:
    void arguments_data();
    void arguments();
};

void TestSigningCommand::arguments_data()
{
    QTest::addColumn<Recovery>("got");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("refusal");

    const QString t = "0123456789abcdef0123456789abcdef01234567";
    const QString ab = "/home/u/a b.txt", q = "/home/u/\"итог\" 2.odt";
    const QString wrong = "Файл не подходит:\n%1\nПринимаются файлы с расширением .sig или .crypt.";
    QTest::newRow("sign") << Recovery{signArguments(t, "uMy", ab), {}}
                          << QStringList{"-sign", "-thumbprint", t, "-uMy", ab, ab + ".sig"} << "";
    QTest::newRow("encrypt") << Recovery{encryptArguments(t, "uRoot", q), {}}
                             << QStringList{"-encr", "-thumbprint", t, "-uRoot", q, q + ".crypt"}
                             << "";
    QTest::newRow("detached sign")
        << Recovery{detachedSignArguments(t, "uMy", ab), {}}
        << QStringList{"-sign", "-detached", "-der", "-thumbprint", t, "-uMy", ab, ab + ".sig"}
        << "";
    QTest::newRow("detached sign, uRoot")
        << Recovery{detachedSignArguments(t, "uRoot", q), {}}
        << QStringList{"-sign", "-detached", "-der", "-thumbprint", t, "-uRoot", q, q + ".sig"}
        << "";
    QTest::newRow("detached check") << Recovery{detachedCheckArguments(q, q + ".sig"), {}}
                                    << QStringList{"-verify", "-detached", q, q + ".sig"} << "";
    const FileRun notSig = checking(true, ab + ".p7s");
    QTest::newRow("detached check of another name")
        << Recovery{notSig.arguments, notSig.refusal} << QStringList()
        << "Подпись должна быть в файле с расширением .sig:\n" + ab + ".p7s";
    QTest::newRow("check") << Recovery{checkArguments(q + ".sig"), {}}
                           << QStringList{"-verify", q + ".sig"} << "";
    QTest::newRow("extract, no certificate needed")
        << recovery(q + ".sig", false, "") << QStringList{"-verify", q + ".sig", q} << "";
    QTest::newRow("decrypt") << recovery(ab + ".crypt", true, t)
                             << QStringList{"-decr", "-thumbprint", t, "-start", ab + ".crypt", ab}
                             << "";
    QTest::newRow("decrypt, no certificate") << recovery(ab + ".crypt", false, "") << QStringList()
                                             << "Не выбран сертификат для расшифровки";
    QTest::newRow("never cut to 'repo'")
        << recovery("/r/report.p7m", true, t) << QStringList() << wrong.arg("/r/report.p7m");
    QTest::newRow(".SIG") << recovery(ab + ".SIG", true, t)
                          << QStringList{"-verify", ab + ".SIG", ab} << "";
    QTest::newRow(".CRYPT") << recovery(ab + ".CRYPT", true, t)
                            << QStringList{"-decr", "-thumbprint", t, "-start", ab + ".CRYPT", ab}
                            << "";
    QTest::newRow(".Crypt.txt") << recovery(ab + ".Crypt.txt", true, t) << QStringList()
                                << wrong.arg(ab + ".Crypt.txt");
}

void TestSigningCommand::arguments()
{
    QFETCH(Recovery, got);
    QFETCH(QStringList, arguments);
    QFETCH(QString, refusal);
    QCOMPARE(got.arguments, arguments);
    QCOMPARE(got.refusal, refusal);
}

QTEST_APPLESS_MAIN(TestSigningCommand)
#include "tst_signingcommand.moc"
