// The three document buttons against the stand-in cryptcp: the file dialog, what the utility
// receives as arguments and answers, and what the user is shown.
#include "app/mainwindow.h"
#include "support/windowtestenv.h"

#include <QTableWidget>
#include <QTest>

class TestSigning : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void initTestCase()
    { /*TMP*/
    }
    void buttons_data();
    void buttons();
};

void TestSigning::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<int>("currentRow"); // of three selected rows; -1: none selected
    QTest::addColumn<QString>("picked");
    QTest::addColumn<int>("workMs"); // after the answers, before the verdict
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("messages");

    const QString ab = "/home/u/a b.txt", said = "Y/N?\nГотово.\n";
    const QString wrong = "Выберите файл с расширением .sig или .crypt";
    QTest::newRow("sign with the current row")
        << "pushButton_crypt" << false << 1 << ab << 0
        << QStringList{"-sign", "-thumbprint", "bbbb", "-uMy", ab, ab + ".sig"} << "Y"
        << QStringList{said};
    QTest::newRow("encrypt") << "pushButton_crypt" << true << 0 << ab << 0
                             << QStringList{"-encr", "-thumbprint", "aaaa", "-uRoot",
                                            ab,      ab + ".crypt"}
                             << "Y" << QStringList{said};
    QTest::newRow("sign, dialog cancelled")
        << "pushButton_crypt" << false << 1 << "" << 0 << QStringList() << ""
        << QStringList{"Не выбран файл или сертификат"};
    QTest::newRow("check, verdict after 2 s")
        << "pushButton_verifile" << false << -1 << ab << 2000 << QStringList{"-verify", ab} << "YY"
        << QStringList{said};
    QTest::newRow("check, no end in 30 s")
        << "pushButton_verifile" << false << -1 << ab << 60000 << QStringList{"-verify", ab} << "YY"
        << QStringList{"Process operation timed out"};
    QTest::newRow("decrypt with the current row")
        << "pushButton" << false << 2 << ab + ".crypt" << 0
        << QStringList{"-decr", "-thumbprint", "cccc", "-start", ab + ".crypt", ab} << "Y"
        << QStringList{said};
    QTest::newRow("decrypt, no certificate")
        << "pushButton" << false << -1 << ab + ".crypt" << 0 << QStringList() << ""
        << QStringList{"Не выбран сертификат для расшифровки"};
    QTest::newRow("recover another name") << "pushButton" << false << 1 << "/r/report.p7m" << 0
                                          << QStringList() << "" << QStringList{wrong};
}

void TestSigning::buttons()
{
    QFETCH(QString, button);
    QFETCH(bool, encrypt);
    QFETCH(int, currentRow);
    QFETCH(QString, picked);
    QFETCH(int, workMs);
    QFETCH(QStringList, args);
    QFETCH(QString, answers);
    QFETCH(QStringList, messages);

    WindowTestEnv env;
    const auto window = env.startWindow();
    MainWindow &w = *window;
    auto *table = w.findChild<QTableWidget *>("tableWidgetCert");
    table->setSortingEnabled(false);
    table->setRowCount(3);
    for (int row = 0; row < 3; ++row) {
        table->setItem(row, 0, new QTableWidgetItem(QString(4, QChar('a' + row))));
        table->setItem(row, 1, new QTableWidgetItem(row == 1 ? "uMy" : "uRoot"));
    }
    table->selectAll();
    if (currentRow < 0)
        table->clearSelection();
    else
        table->setCurrentCell(currentRow, 0, QItemSelectionModel::NoUpdate);
    WindowTest::setChecked(w, "checkBox_crypt", encrypt);
    env.csp.addRule({"cryptcp", {}, true, "Y/N?\n", answers.size(), "Готово.\n", 0, workMs, 0});
    env.dialogs.files << picked;
    WindowTest::click(w, button.toLatin1().constData());

    const QMap<QString, QStringList> dialogs{
        {"pushButton_crypt", {"Выберите файл для подписания", ""}},
        {"pushButton_verifile", {"Выберите файл для проверки подписи", "*.sig"}},
        {"pushButton",
         {"Выберите файл подписи для извлечения исходного документа", "*.sig *.crypt"}}};
    const FileDialogSpec first = env.dialogs.shown.value(0).file;
    QCOMPARE(env.dialogs.shown.value(0).kind, button == "pushButton"
                                                  ? ScriptedDialogs::Kind::OpenFile
                                                  : ScriptedDialogs::Kind::OpenFiles);
    QCOMPARE((QList<QVariant>{QVariant::fromValue<QWidget *>(first.parent), first.directory,
                              first.caption, first.filter}),
             (QList<QVariant>{QVariant::fromValue<QWidget *>(&w), env.home.path(),
                              dialogs[button][0], dialogs[button][1]}));
    const QList<StandInCall> calls = env.csp.calls();
    const QList<StandInCall> expected{{"cryptcp", args, answers}};
    QCOMPARE(calls, args.isEmpty() ? QList<StandInCall>() : expected);
    QCOMPARE(env.dialogs.messageTexts(), messages);
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
