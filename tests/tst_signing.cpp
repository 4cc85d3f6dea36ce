// The three document buttons against the stand-in cryptcp: the file dialog, what the utility
// receives as arguments and answers, and what the user is shown.
#include "app/mainwindow.h"
#include "support/windowtestenv.h"

#include <QCheckBox>
#include <QFile>
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
    void files_data();
    void files();
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

// Names are relative to the test's working directory, where the files of `present` are made.
void TestSigning::files_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QString>("failing");  // the arguments of the run that fails
    QTest::addColumn<QStringList>("runs"); // arguments, then "<" and what was read
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("informative");
    QTest::addColumn<QString>("details");

    const QStringList detached{"checkBox_detached"}, none;
    const QString crypt = "pushButton_crypt", check = "pushButton_verifile";
    const QString said = "Y/N?\nГотово.\n", saved = "Файл сохранён: ";
    QTest::newRow("detached sign, file saved")
        << crypt << detached << QStringList{"d.txt.sig"} << QStringList{"d.txt"} << ""
        << QStringList{"-sign -detached -der -thumbprint aaaa -uMy d.txt d.txt.sig <Y"} << said
        << saved + "d.txt.sig"
        << "";
    QTest::newRow("sign, nothing written")
        << crypt << none << QStringList() << QStringList{"d.txt"} << ""
        << QStringList{"-sign -thumbprint aaaa -uMy d.txt d.txt.sig <Y"} << said << ""
        << "";
    QTest::newRow("encrypt, detached box disabled")
        << crypt << QStringList{"checkBox_detached", "checkBox_crypt"} << QStringList{"d.txt.crypt"}
        << QStringList{"d.txt"} << ""
        << QStringList{"-encr -thumbprint aaaa -uMy d.txt d.txt.crypt <Y"} << said
        << saved + "d.txt.crypt"
        << "";
    QTest::newRow("detached check")
        << check << detached << QStringList{"d.txt"} << QStringList{"d.txt.sig"} << ""
        << QStringList{"-verify -detached d.txt d.txt.sig <YY"} << said << ""
        << "";
    QTest::newRow("detached check, no document")
        << check << detached << QStringList() << QStringList{"d.txt.sig"} << "" << QStringList()
        << "Не найден подписанный документ:\nd.txt"
        << ""
        << "";
    QTest::newRow("extract ignores the detached box")
        << "pushButton" << detached << QStringList() << QStringList{"d.txt.sig"} << ""
        << QStringList{"-verify d.txt.sig d.txt <Y"} << said << ""
        << "";
    QTest::newRow("three signed, the second fails")
        << crypt << none << QStringList{"1.txt.sig", "3.txt.sig"}
        << QStringList{"1.txt", "2.txt", "3.txt"} << "-sign -thumbprint aaaa -uMy 2.txt 2.txt.sig"
        << QStringList{"-sign -thumbprint aaaa -uMy 1.txt 1.txt.sig <Y",
                       "-sign -thumbprint aaaa -uMy 2.txt 2.txt.sig <",
                       "-sign -thumbprint aaaa -uMy 3.txt 3.txt.sig <Y"}
        << "1.txt (1.txt.sig) — готово\n2.txt — ошибка\n3.txt (3.txt.sig) — готово"
        << ""
        << "1.txt:\n" + said + "\n2.txt:\nОшибка.\n\n3.txt:\n" + said;
    QTest::newRow("detached, one document missing")
        << check << detached << QStringList{"1.txt", "3.txt"}
        << QStringList{"1.txt.sig", "2.txt.sig", "3.txt.sig"} << ""
        << QStringList{"-verify -detached 1.txt 1.txt.sig <YY",
                       "-verify -detached 3.txt 3.txt.sig <YY"}
        << "1.txt.sig — готово\n2.txt.sig — ошибка\n3.txt.sig — готово"
        << ""
        << "1.txt.sig:\n" + said + "\n2.txt.sig:\nНе найден подписанный документ:\n2.txt\n\n" +
               "3.txt.sig:\n" + said;
    QTest::newRow("two checked") << check << none << QStringList() << QStringList{"1.sig", "2.sig"}
                                 << "" << QStringList{"-verify 1.sig <YY", "-verify 2.sig <YY"}
                                 << "1.sig — готово\n2.sig — готово"
                                 << ""
                                 << "1.sig:\n" + said + "\n2.sig:\n" + said;
}

void TestSigning::files()
{
    QFETCH(QString, button);
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, present);
    QFETCH(QStringList, picked);
    QFETCH(QString, failing);
    QFETCH(QStringList, runs);
    QFETCH(QString, text);
    QFETCH(QString, informative);
    QFETCH(QString, details);

    WindowTestEnv env;
    const auto window = env.startWindow();
    auto *table = window->findChild<QTableWidget *>("tableWidgetCert");
    table->setRowCount(1);
    table->setItem(0, 0, new QTableWidgetItem("aaaa"));
    table->setItem(0, 1, new QTableWidgetItem("uMy"));
    table->selectRow(0);
    for (const QString &box : ticked)
        WindowTest::setChecked(*window, box.toLatin1().constData(), true);
    QCOMPARE(window->findChild<QCheckBox *>("checkBox_detached")->isEnabled(),
             !ticked.contains("checkBox_crypt"));
    for (const QString &file : present)
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    env.csp.addRule({"cryptcp", failing.split(' '), false, "Ошибка.\n", 0, "", 0, 0, 1});
    const int answers = button == "pushButton_verifile" ? 2 : 1;
    env.csp.addRule({"cryptcp", {}, true, "Y/N?\n", answers, "Готово.\n", 0, 0, 0});
    env.dialogs.fileLists << picked;
    env.dialogs.files << picked.first();
    WindowTest::click(*window, button.toLatin1().constData());

    QStringList seen;
    for (const StandInCall &call : env.csp.calls())
        seen << call.args.join(' ') + " <" + call.stdinText;
    QCOMPARE(seen, runs);
    const MessageSpec box = env.dialogs.shown.last().message;
    QCOMPARE((QStringList{box.text, box.informativeText, box.detailedText}),
             (QStringList{text, informative, details}));
    const bool summary = picked.size() > 1;
    QCOMPARE(box.icon, text.contains("ошибка") ? QMessageBox::Warning : QMessageBox::NoIcon);
    QCOMPARE((QList<QVariant>{QVariant::fromValue<QWidget *>(box.parent), box.title}),
             (QList<QVariant>{QVariant::fromValue<QWidget *>(summary ? window.get() : nullptr),
                              summary ? "Velmora" : QString()}));
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
