// The three document buttons against the stand-in cryptcp: the file dialog, what the utility
// receives as arguments and answers, and what the user is shown.
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
    void resultBoxesSayWhatHappened_data();
    void resultBoxesSayWhatHappened();
    void recoveryAsksBeforeReplacing_data();
    void recoveryAsksBeforeReplacing();
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
    const QString wrong =
        "Файл не подходит:\n/r/report.p7m\nПринимаются файлы с расширением .sig или .crypt.";
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
    env.csp.addRule(
        {"cryptcp", {}, true, "Y/N?\n", int(answers.size()), "Готово.\n", 0, workMs, 0, {}, {}});
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
// Lists are blank-separated; the box reads title|text|informative text|details.
void TestSigning::files_data()
{
    for (const char *column : {"clicks", "present", "picked", "failing", "runs", "box"})
        QTest::addColumn<QString>(column);
    // `failing`: the arguments of the run that fails; `runs`: each run's arguments, "<" and
    // what it read, one run a line.
    const auto row = [](const char *name, const char *clicks, const char *present,
                        const char *picked, const QString &failing, const QString &runs,
                        const QString &box) {
        QTest::newRow(name) << clicks << present << picked << failing << runs << box;
    };
    const QString said = "Y/N?\nГотово.\n", s = "-sign -thumbprint aaaa -uMy ";
    const QString signedOne = "Файл подписан.\n" + said, good = "Подпись верна.\n" + said;
    const QString v = "-verify -detached ", missing = "Не найден подписанный документ:\n";
    row("detached sign, file saved", "checkBox_detached pushButton_crypt", "d.txt.sig", "d.txt", "",
        "-sign -detached -der -thumbprint aaaa -uMy d.txt d.txt.sig <Y",
        "|" + said + "|Файл подписан.\nФайл сохранён: d.txt.sig|");
    row("sign, nothing written", "pushButton_crypt", "", "d.txt", "", s + "d.txt d.txt.sig <Y",
        "|" + said + "|Файл подписан.|");
    row("encrypt, detached box disabled", "checkBox_detached checkBox_crypt pushButton_crypt",
        "d.txt.crypt", "d.txt", "", "-encr -thumbprint aaaa -uMy d.txt d.txt.crypt <Y",
        "|" + said + "|Файл зашифрован.\nФайл сохранён: d.txt.crypt|");
    row("detached check", "checkBox_detached pushButton_verifile", "d.txt", "d.txt.sig", "",
        v + "d.txt d.txt.sig <YY", "|" + said + "|Подпись верна.|");
    row("detached check, no document", "checkBox_detached pushButton_verifile", "", "d.txt.sig", "",
        "", "|" + missing + "d.txt||");
    row("three signed, the second fails", "pushButton_crypt", "1.txt.sig 3.txt.sig",
        "1.txt 2.txt 3.txt", s + "2.txt 2.txt.sig",
        s + "1.txt 1.txt.sig <Y\n" + s + "2.txt 2.txt.sig <\n" + s + "3.txt 3.txt.sig <Y",
        "Velmora|1.txt (1.txt.sig) — готово\n2.txt — ошибка\n3.txt (3.txt.sig) — готово|Не "
        "выполнено: "
        "1 из 3.|1.txt:\n" +
            signedOne + "\n2.txt:\nНе выполнено.\nКод завершения: 1\nОшибка.\n\n3.txt:\n" +
            signedOne);
    row("Отмена during the second of three", "pushButton_crypt Отмена", "1.txt.sig",
        "1.txt 2.txt 3.txt", s + "2.txt 2.txt.sig",
        s + "1.txt 1.txt.sig <Y\n" + s + "2.txt 2.txt.sig <",
        "Velmora|1.txt (1.txt.sig) — готово\n2.txt — отменено\n3.txt — отменено|Не выполнено: 2 из "
        "3.|1.txt:\n" +
            signedOne + "\n2.txt:\nНе выполнено.\n\n3.txt:\nНе выполнено.\n");
    row("detached, one document missing", "checkBox_detached pushButton_verifile", "1.txt 3.txt",
        "1.txt.sig 2.txt.sig 3.txt.sig", "",
        v + "1.txt 1.txt.sig <YY\n" + v + "3.txt 3.txt.sig <YY",
        "Velmora|1.txt.sig — готово\n2.txt.sig — ошибка\n3.txt.sig — готово|Не выполнено: 1 из "
        "3.|1.txt.sig:\n" +
            good + "\n2.txt.sig:\nНе выполнено.\n" + missing + "2.txt\n\n3.txt.sig:\n" + good);
    row("two checked", "pushButton_verifile", "", "1.sig 2.sig", "",
        "-verify 1.sig <YY\n-verify 2.sig <YY",
        "Velmora|1.sig — готово\n2.sig — готово|Готово.|1.sig:\n" + good + "\n2.sig:\n" + good);
}

void TestSigning::files()
{
    QFETCH(QString, clicks);
    QFETCH(QString, present);
    QFETCH(QString, picked);
    QFETCH(QString, failing);
    QFETCH(QString, runs);
    QFETCH(QString, box);

    WindowTestEnv env;
    // Отмена is pressed in the progress window of the run that otherwise fails, which then lasts;
    // it must last over half a second to be shown.
    const bool cancel = clicks.endsWith("Отмена");
    ToolRunner::setWaitFactorForTests(cancel ? 0.1 : WindowTest::waitFactor);
    const auto window = env.startWindow();
    auto *table = window->findChild<QTableWidget *>("tableWidgetCert");
    table->setRowCount(1);
    table->setItem(0, 0, new QTableWidgetItem("aaaa"));
    table->setItem(0, 1, new QTableWidgetItem("uMy"));
    table->selectRow(0);
    for (const QString &file : present.split(' ', Qt::SkipEmptyParts))
        QVERIFY(QFile(file).open(QIODevice::WriteOnly));
    const int answers = clicks.contains("verifile") ? 2 : 1;
    env.csp.addRule({"cryptcp",
                     failing.split(' '),
                     false,
                     "Ошибка.\n",
                     0,
                     "",
                     cancel ? 100000 : 0,
                     0,
                     1,
                     {},
                     {}});
    env.csp.addRule({"cryptcp", {}, true, "Y/N?\n", answers, "Готово.\n", 0, 0, 0, {}, {}});
    env.dialogs.fileLists << picked.split(' ');
    ProgressWatcher watcher{cancel ? ProgressWatcher::Press::Cancel
                                   : ProgressWatcher::Press::Nothing};
    for (const QString &name : clicks.split(' '))
        if (name != "Отмена")
            window->findChild<QAbstractButton *>(name)->click();

    QCOMPARE(window->findChild<QCheckBox *>("checkBox_detached")->isEnabled(),
             !clicks.contains("checkBox_crypt"));
    if (cancel)
        QCOMPARE(watcher.firstLine(), "Подписание файла 2 из 3: 2.txt");
    QStringList seen;
    for (const StandInCall &call : env.csp.calls())
        seen << call.args.join(' ') + " <" + call.stdinText;
    QCOMPARE(seen.join('\n'), runs);
    const MessageSpec shown = env.dialogs.shown.last().message;
    QCOMPARE(
        QStringList({shown.title, shown.text, shown.informativeText, shown.detailedText}).join('|'),
        box);
    QCOMPARE(shown.parent, box.startsWith('|') ? nullptr : static_cast<QWidget *>(window.get()));
    const bool allDone = !box.contains("ошибка") && !box.contains("отменено");
    QCOMPARE(shown.icon, allDone ? QMessageBox::NoIcon : QMessageBox::Warning);
}

// Boxes of a few kinds of run as the user sees them: the informative text under the utility's
// output, and the icon. In `informative`, "CSP/" stands for the stand-in's directory.
void TestSigning::resultBoxesSayWhatHappened_data()
{
    for (const char *column : {"button", "picked", "tool", "output", "informative"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<int>("exitCode");
    QTest::newRow("good check") << "pushButton_verifile"
                                << "d.sig"
                                << "cryptcp"
                                << "Signature verified.\n[ErrorCode: 0x00000000]\n"
                                << "Подпись верна." << 0;
    QTest::newRow("decryption without the recipient's key")
        << "pushButton"
        << "d.txt.crypt"
        << "cryptcp"
        << "Error: Cannot find the certificate and private key for decryption.\n[ErrorCode: "
           "0x8009200c]\n"
        << "Не выполнено.\nПричина: нет сертификата с закрытым ключом, которым можно "
           "расшифровать файл.\nЧто сделать: выберите сертификат того получателя, для которого "
           "файл зашифрован, и вставьте носитель с его ключом.\nКод ошибки: 0x8009200c"
        << 12;
    QTest::newRow("licence")
        << "pushButton_license"
        << ""
        << "cpconfig"
        << "License validity:\nХХХХХ-ХХХХХ-ХХХХХ-ХХХХХ-ХХХХХ\nExpires: 12 day(s)\n"
        << "Лицензия действует.\nОсталось дней: 12" << 0;
    QTest::newRow("no CSP") << "pushButton_verifile"
                            << "d.sig"
                            << ""
                            << ""
                            << "Не выполнено.\nКриптоПро CSP не найден: нет файла CSP/cryptcp. "
                               "Установите КриптоПро CSP кнопкой «КриптоПро (amd64):»."
                            << -1;
}

void TestSigning::resultBoxesSayWhatHappened()
{
    QFETCH(QString, button);
    QFETCH(QString, picked);
    QFETCH(QString, tool);
    QFETCH(QString, output);
    QFETCH(QString, informative);
    QFETCH(int, exitCode);
    WindowTestEnv env;
    const auto window = env.startWindow();
    auto *table = window->findChild<QTableWidget *>("tableWidgetCert");
    table->setRowCount(1);
    table->setItem(0, 0, new QTableWidgetItem("aaaa"));
    table->selectRow(0);
    QVERIFY(QFile(picked.isEmpty() ? "unused" : picked).open(QIODevice::WriteOnly));
    if (tool.isEmpty())
        env.csp.remove("cryptcp");
    else
        env.csp.addRule({tool, {}, true, output, 0, "", 0, 0, exitCode, {}, {}});
    env.dialogs.files << picked;

    window->findChild<QAbstractButton *>(button)->click();

    const MessageSpec shown = env.dialogs.shown.last().message;
    QCOMPARE(shown.text, tool.isEmpty() ? "execvp: No such file or directory" : output);
    QCOMPARE(shown.informativeText, QString(informative).replace("CSP/", env.csp.dir()));
    QCOMPARE(shown.icon, exitCode ? QMessageBox::Warning : QMessageBox::NoIcon);
}

// "d.txt.sig" recovered in the test's working directory over a "d.txt" of the user's; the
// boxes read text|informative text, one a line.
void TestSigning::recoveryAsksBeforeReplacing_data()
{
    for (const char *column : {"answer", "exitCode", "boxes", "after"})
        QTest::addColumn<QString>(column);
    const QString asked = "Файл уже существует:\nd.txt\nЗаменить его?|\n";
    const auto row = [](const char *name, const char *answer, const char *exitCode,
                        const QString &boxes, const char *after) {
        QTest::newRow(name) << answer << exitCode << boxes << after;
    };
    row("Нет: nothing runs", "No", "", asked, "правка");
    row("Да: replaced", "Yes", "0",
        asked + "Y/N?\nГотово.\n|Документ извлечён.\nФайл сохранён: d.txt\n", "документ");
    row("Да, fails: the earlier file is back", "Yes", "1",
        asked + "Y/N?\nГотово.\n|Не выполнено.\nКод завершения: 1\n", "правка");
}

void TestSigning::recoveryAsksBeforeReplacing()
{
    QFETCH(QString, answer);
    QFETCH(QString, exitCode);
    QFETCH(QString, boxes);
    QFETCH(QString, after);

    WindowTestEnv env;
    const auto window = env.startWindow();
    QFile earlier("d.txt");
    QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("правка") > 0);
    earlier.close();
    QVERIFY(earlier.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther));
    // It writes the document, also when it then fails.
    env.csp.addRule({"cryptcp",
                     {},
                     true,
                     "Y/N?\n",
                     1,
                     "Готово.\n",
                     0,
                     0,
                     exitCode.toInt(),
                     "d.txt.sig",
                     "документ"});
    env.dialogs.files << "d.txt.sig";
    env.dialogs.buttons << (answer == "Yes" ? QMessageBox::Yes : QMessageBox::No);
    WindowTest::click(*window, "pushButton");

    QCOMPARE(env.csp.calls().size(), exitCode.isEmpty() ? 0 : 1);
    QString shown;
    for (const ScriptedDialogs::Shown &s : env.dialogs.shown)
        shown += s.message.text + "|" + s.message.informativeText + "\n";
    QCOMPARE(shown.mid(2), boxes); // after the file dialog's empty line
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(earlier.readAll()), after);
    if (after == "правка")
        QCOMPARE(earlier.permissions() & 0x7077, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    QCOMPARE(QDir().entryList({".d.txt*"}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TestSigning)
#include "tst_signing.moc"
