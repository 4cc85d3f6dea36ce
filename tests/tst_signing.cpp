// The three document buttons against the stand-in cryptcp: the file dialog, what the utility
// receives as arguments and answers, and what the user is shown.
#include "app/mainwindow.h"
#include "support/windowtestenv.h"

#include <QCheckBox>
#include <QFile>
#include <QTableWidget>
#include <QTest>

namespace {

// Three certificates, all selected, with `currentRow` current; -1: none selected.
void fillTable(MainWindow &w, int currentRow)
{
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
}

// "~" stands for the test's HOME.
QString home(QString text, const WindowTestEnv &env)
{
    return text.replace('~', env.home.path());
}
QStringList home(QStringList texts, const WindowTestEnv &env)
{
    for (QString &text : texts)
        text = home(text, env);
    return texts;
}

} // namespace

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
    void severalFiles_data();
    void severalFiles();
};

void TestSigning::buttons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<bool>("detached");
    QTest::addColumn<int>("currentRow"); // of three selected rows; -1: none selected
    QTest::addColumn<QString>("picked");
    QTest::addColumn<int>("workMs"); // after the answers, before the verdict
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("informative"); // of the last box; ~/d.txt and ~/d.txt.sig exist

    const QString ab = "/home/u/a b.txt", said = "Y/N?\nГотово.\n";
    const QString wrong = "Выберите файл с расширением .sig или .crypt";
    QTest::newRow("sign with the current row")
        << "pushButton_crypt" << false << false << 1 << ab << 0
        << QStringList{"-sign", "-thumbprint", "bbbb", "-uMy", ab, ab + ".sig"} << "Y"
        << QStringList{said} << "";
    QTest::newRow("encrypt") << "pushButton_crypt" << true << false << 0 << ab << 0
                             << QStringList{"-encr", "-thumbprint", "aaaa", "-uRoot",
                                            ab,      ab + ".crypt"}
                             << "Y" << QStringList{said} << "";
    QTest::newRow("sign, dialog cancelled")
        << "pushButton_crypt" << false << false << 1 << "" << 0 << QStringList() << ""
        << QStringList{"Не выбран файл или сертификат"} << "";
    QTest::newRow("check, verdict after 2 s")
        << "pushButton_verifile" << false << false << -1 << ab << 2000 << QStringList{"-verify", ab}
        << "YY" << QStringList{said} << "";
    QTest::newRow("check, no end in 30 s")
        << "pushButton_verifile" << false << false << -1 << ab << 60000
        << QStringList{"-verify", ab} << "YY" << QStringList{"Process operation timed out"} << "";
    QTest::newRow("decrypt with the current row")
        << "pushButton" << false << false << 2 << ab + ".crypt" << 0
        << QStringList{"-decr", "-thumbprint", "cccc", "-start", ab + ".crypt", ab} << "Y"
        << QStringList{said} << "";
    QTest::newRow("decrypt, no certificate")
        << "pushButton" << false << false << -1 << ab + ".crypt" << 0 << QStringList() << ""
        << QStringList{"Не выбран сертификат для расшифровки"} << "";
    const QString d = "~/d.txt", saved = "Файл сохранён: ~/d.txt.sig";
    QTest::newRow("detached sign, file saved")
        << "pushButton_crypt" << false << true << 1 << d << 0
        << QStringList{"-sign", "-detached", "-der", "-thumbprint", "bbbb", "-uMy", d, d + ".sig"}
        << "Y" << QStringList{said} << saved;
    QTest::newRow("encrypt, detached box disabled")
        << "pushButton_crypt" << true << true << 0 << ab << 0
        << QStringList{"-encr", "-thumbprint", "aaaa", "-uRoot", ab, ab + ".crypt"} << "Y"
        << QStringList{said} << "";
    QTest::newRow("detached check")
        << "pushButton_verifile" << false << true << -1 << d + ".sig" << 2000
        << QStringList{"-verify", "-detached", d, d + ".sig"} << "YY" << QStringList{said} << "";
    QTest::newRow("detached check, no document")
        << "pushButton_verifile" << false << true << -1 << "~/x.txt.sig" << 0 << QStringList() << ""
        << QStringList{"Не найден подписанный документ:\n~/x.txt"} << "";
    QTest::newRow("extract ignores the detached box")
        << "pushButton" << false << true << -1 << d + ".sig" << 0
        << QStringList{"-verify", d + ".sig", d} << "Y" << QStringList{said} << "";
    QTest::newRow("recover another name") << "pushButton" << false << false << 1 << "/r/report.p7m"
                                          << 0 << QStringList() << "" << QStringList{wrong} << "";
}

void TestSigning::buttons()
{
    QFETCH(QString, button);
    QFETCH(bool, encrypt);
    QFETCH(bool, detached);
    QFETCH(int, currentRow);
    QFETCH(QString, picked);
    QFETCH(int, workMs);
    QFETCH(QStringList, args);
    QFETCH(QString, answers);
    QFETCH(QStringList, messages);
    QFETCH(QString, informative);

    WindowTestEnv env;
    const auto window = env.startWindow();
    MainWindow &w = *window;
    fillTable(w, currentRow);
    WindowTest::setChecked(w, "checkBox_detached", detached);
    WindowTest::setChecked(w, "checkBox_crypt", encrypt);
    QCOMPARE(w.findChild<QCheckBox *>("checkBox_detached")->isEnabled(), !encrypt);
    for (const char *name : {"/d.txt", "/d.txt.sig"})
        QVERIFY(QFile(env.home.path() + name).open(QIODevice::WriteOnly));
    env.csp.addRule({"cryptcp", {}, true, "Y/N?\n", answers.size(), "Готово.\n", 0, workMs, 0});
    env.dialogs.files << home(picked, env);
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
    const QList<StandInCall> expected{{"cryptcp", home(args, env), answers}};
    QCOMPARE(calls, args.isEmpty() ? QList<StandInCall>() : expected);
    QCOMPARE(env.dialogs.messageTexts(), home(messages, env));
    QCOMPARE(env.dialogs.shown.last().message.informativeText, home(informative, env));
}

void TestSigning::severalFiles_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("detached");
    QTest::addColumn<QStringList>("present"); // files made in HOME
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QStringList>("failing"); // the arguments of a run that fails
    QTest::addColumn<QStringList>("runs");    // the last argument of each run, in order
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("details");

    const QStringList three{"~/1.txt", "~/2.txt", "~/3.txt"};
    const QString done = "Y/N?\nГотово.\n";
    QTest::newRow("three signed, the second fails")
        << "pushButton_crypt" << false << QStringList{"~/1.txt.sig", "~/3.txt.sig"} << three
        << QStringList{"-sign", "-thumbprint", "bbbb", "-uMy", "~/2.txt", "~/2.txt.sig"}
        << QStringList{"~/1.txt.sig", "~/2.txt.sig", "~/3.txt.sig"}
        << "1.txt (1.txt.sig) — готово\n2.txt — ошибка\n3.txt (3.txt.sig) — готово"
        << "1.txt:\n" + done + "\n2.txt:\nОшибка.\n\n3.txt:\n" + done;
    QTest::newRow("two checked") << "pushButton_verifile" << false << QStringList()
                                 << QStringList{"~/1.sig", "~/2.sig"} << QStringList()
                                 << QStringList{"~/1.sig", "~/2.sig"}
                                 << "1.sig — готово\n2.sig — готово"
                                 << "1.sig:\n" + done + "\n2.sig:\n" + done;
    QTest::newRow("detached, one document missing")
        << "pushButton_verifile" << true << QStringList{"~/1.txt", "~/3.txt"}
        << QStringList{"~/1.txt.sig", "~/2.txt.sig", "~/3.txt.sig"} << QStringList()
        << QStringList{"~/1.txt.sig", "~/3.txt.sig"}
        << "1.txt.sig — готово\n2.txt.sig — ошибка\n3.txt.sig — готово"
        << "1.txt.sig:\n" + done + "\n2.txt.sig:\nНе найден подписанный документ:\n~/2.txt\n\n" +
               "3.txt.sig:\n" + done;
}

void TestSigning::severalFiles()
{
    QFETCH(QString, button);
    QFETCH(bool, detached);
    QFETCH(QStringList, present);
    QFETCH(QStringList, picked);
    QFETCH(QStringList, failing);
    QFETCH(QStringList, runs);
    QFETCH(QString, summary);
    QFETCH(QString, details);

    WindowTestEnv env;
    const auto window = env.startWindow();
    fillTable(*window, 1);
    WindowTest::setChecked(*window, "checkBox_detached", detached);
    for (const QString &file : home(present, env))
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    env.csp.addRule({"cryptcp", home(failing, env), false, "Ошибка.\n", 0, "", 0, 0, 1});
    env.csp.addRule({"cryptcp", {}, true, "Y/N?\n", 1, "Готово.\n", 0, 0, 0});
    env.dialogs.fileLists << home(picked, env);
    WindowTest::click(*window, button.toLatin1().constData());

    QStringList lastArguments;
    for (const StandInCall &call : env.csp.calls())
        lastArguments << call.args.last();
    QCOMPARE(lastArguments, home(runs, env));
    QCOMPARE(env.dialogs.messageTexts(), QStringList{summary});
    const MessageSpec box = env.dialogs.shown.last().message;
    QCOMPARE(box.detailedText, home(details, env));
    QCOMPARE(box.icon, summary.contains("ошибка") ? QMessageBox::Warning : QMessageBox::NoIcon);
    QCOMPARE((QList<QVariant>{QVariant::fromValue<QWidget *>(box.parent), box.title}),
             (QList<QVariant>{QVariant::fromValue<QWidget *>(window.get()), "Velmora"}));
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
