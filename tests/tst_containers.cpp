// Container and key-store lists, copying and deleting containers, and screepts/copykey.sh.
#include "app/mainwindow.h"
#include "containers/keycontainers.h"
#include "csp/toolrunner.h"
#include "support/progresswatcher.h"
#include "support/randomtext.h"
#include "support/windowtestenv.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTime>
#include <QTimer>

#include <memory>

using namespace KeyContainers;
using namespace WindowTest;

namespace {

const QStringList containerArgs{"-keyset", "-enum_cont", "-fqcn", "-verifyc"};
const QStringList readerArgs{"-enum", "-info", "-type", "PP_ENUMREADERS"};

QString containerListing(const QStringList &names)
{
    QString text = "CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                   "AcquireContext: OK. HCRYPTPROV: 6679219\n";
    for (const QString &name : names)
        text += name + '\n';
    return text + "OK.\nTotal: SYS: 0,010 sec USR: 0,000 sec UTC: 0,060 sec\n"
                  "[ErrorCode: 0x00000000]\n";
}

QString readerLine(const QString &name)
{
    return " 0x00000000    " + name; // the name starts at the 16th character
}

QString readerListing(const QStringList &names)
{
    QString text = "CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                   "AcquireContext: OK. HCRYPTPROV: 11225731\n"
                   "GetProvParam(PP_ENUMREADERS): OK.\n";
    for (const QString &name : names)
        text += readerLine(name) + '\n';
    return text + "[ErrorCode: 0x00000000]\n";
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << prefix + QString::number(i);
    return list;
}

int secondsNow()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000;
}

QList<QProcess *> runningProcesses(const MainWindow &w)
{
    QList<QProcess *> running;
    for (QProcess *p : w.findChildren<QProcess *>())
        if (p->state() != QProcess::NotRunning)
            running << p;
    return running;
}

} // namespace

class TestContainers : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void recognisesListingLines_data();
    void recognisesListingLines();
    void formsTargetName_data();
    void formsTargetName();
    void copyNumberDependsOnlyOnTheSecond();
    void deleteArgumentsKeepTheNameWhole();
    void copykeyScriptPassesNamesUnchanged_data();
    void copykeyScriptPassesNamesUnchanged();

    void refreshFillsBothLists_data();
    void refreshFillsBothLists();
    void startUpFillsBothLists();
    void refreshWithoutCspShowsTwoBoxes();
    void noneSelectedRefreshesInstead_data();
    void noneSelectedRefreshesInstead();
    void copyRunsTheScript_data();
    void copyRunsTheScript();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void failedStartShowsTheError_data();
    void failedStartShowsTheError();
    void slowRunsAfterTheirWait_data();
    void slowRunsAfterTheirWait();
    void closeDuringACopyWaitsForIt();

private:
    // A window on a stand-in CSP whose listings print `containers` and `readers`, with the
    // start-up runs and boxes forgotten.
    std::unique_ptr<MainWindow> window(const QStringList &containers, const QStringList &readers);
    void linkCopykeyScript();

    std::unique_ptr<WindowTestEnv> env;
};

void TestContainers::init()
{
    env = std::make_unique<WindowTestEnv>();
    QVERIFY(env->csp.isValid());
}

void TestContainers::cleanup()
{
    env.reset();
}

std::unique_ptr<MainWindow> TestContainers::window(const QStringList &containers,
                                                   const QStringList &readers)
{
    env->csp.on("csptest", containerArgs, containerListing(containers));
    env->csp.on("csptest", readerArgs, readerListing(readers));
    return env->startWindow();
}

void TestContainers::linkCopykeyScript()
{
    QVERIFY(QDir(env->home.path()).mkdir("screepts"));
    QVERIFY(QFile::link(VELMORA_SOURCE_DIR "/screepts/copykey.sh",
                        env->home.path() + "/screepts/copykey.sh"));
}

void TestContainers::recognisesListingLines_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QStringList>("containers");
    QTest::addColumn<QStringList>("readers");

    QTest::newRow("container listing")
        << containerListing({"\\\\.\\HDIMAGE\\test1", "\\\\.\\Aktiv Rutoken ECP 00 00\\key 2"})
        << QStringList{"\\\\.\\HDIMAGE\\test1", "\\\\.\\Aktiv Rutoken ECP 00 00\\key 2"}
        << QStringList();
    QTest::newRow("container line kept whole")
        << "\\\\.\\HDIMAGE\\a \n\\\\.\\HDIMAGE\\b\r\n\\\n"
        << QStringList{"\\\\.\\HDIMAGE\\a ", "\\\\.\\HDIMAGE\\b\r", "\\"} << QStringList();
    QTest::newRow("indented backslash is not a container")
        << " \\\\.\\HDIMAGE\\a\n\t\\\\.\\HDIMAGE\\b" << QStringList() << QStringList();
    QTest::newRow("last line without line feed")
        << "x\n\\\\.\\FLASH\\k" << QStringList{"\\\\.\\FLASH\\k"} << QStringList();
    QTest::newRow("empty output") << "" << QStringList() << QStringList();
    QTest::newRow("reader listing")
        << readerListing({"HDIMAGE", "Aktiv Rutoken ECP 00 00", "FLASH"}) << QStringList()
        << QStringList{"HDIMAGE", "Aktiv Rutoken ECP 00 00", "FLASH"};
    QTest::newRow("short reader line gives an empty name")
        << " 0x0\n 0x01234567890\n 0x012345678901X" << QStringList() << QStringList{"", "", "X"};
    QTest::newRow("reader marker is exact")
        << "0x0000000000000HDIMAGE\n 0X00000000000HDIMAGE\n  0x0000000000HDIMAGE\n 0x10000000000X"
        << QStringList() << QStringList();
    QTest::newRow("reader lines of two hexadecimal fields, whatever the blanks")
        << "0x012a 0x03 Aktiv Rutoken lite 00 00\n \t0x0001\t0x00   HDIMAGE  \n"
           " 0x012A   0x03 FLASH\r"
        << QStringList() << QStringList{"Aktiv Rutoken lite 00 00", "HDIMAGE", "FLASH"};
    QTest::newRow("almost two fields: read as before")
        << " 0x012a 0x034 HDIMAGE\n0x012a 0x03\n0X012a 0x03 X\n0x12a 0x03 X" << QStringList()
        << QStringList{"DIMAGE"};
    QTest::newRow("reader line keeps its carriage return")
        << readerLine("FLASH\r") + "\n"
        << QStringList() << QStringList{"FLASH\r"};
}

void TestContainers::recognisesListingLines()
{
    QFETCH(QString, listing);
    QFETCH(QStringList, containers);
    QFETCH(QStringList, readers);
    QCOMPARE(containerNames(listing), containers);
    QCOMPARE(readerNames(listing), readers);
}

void TestContainers::formsTargetName_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("store");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("target");

    QTest::newRow("plain") << "\\\\.\\HDIMAGE\\ivanov"
                           << "FLASH" << 4711 << "\\\\.\\FLASH\\ivanov4711";
    QTest::newRow("14 characters cut to 12") << "\\\\.\\HDIMAGE\\abcdefghijklmn"
                                             << "FLASH" << 0 << "\\\\.\\FLASH\\abcdefghijkl0";
    QTest::newRow("13 characters kept") << "\\\\.\\HDIMAGE\\abcdefghijklm"
                                        << "FLASH" << 99999 << "\\\\.\\FLASH\\abcdefghijklm99999";
    QTest::newRow("cut counts characters, not bytes")
        << "\\\\.\\HDIMAGE\\ключ_Иванова_ИИ"
        << "FLASH" << 5 << "\\\\.\\FLASH\\ключ_Иванова5";
    QTest::newRow("blanks in store and name")
        << "\\\\.\\Aktiv Rutoken ECP 00 00\\my key"
        << "Aktiv Rutoken ECP 01 00" << 12 << "\\\\.\\Aktiv Rutoken ECP 01 00\\my key12";
    QTest::newRow("source ends with a backslash") << "\\\\.\\HDIMAGE\\"
                                                  << "FLASH" << 7 << "\\\\.\\FLASH\\7";
    QTest::newRow("no key store") << "\\\\.\\HDIMAGE\\ivanov"
                                  << "" << 3 << "\\\\.\\\\ivanov3";
}

void TestContainers::formsTargetName()
{
    QFETCH(QString, source);
    QFETCH(QString, store);
    QFETCH(int, number);
    QFETCH(QString, target);
    QCOMPARE(copyTargetName(source, store, number), target);
}

void TestContainers::copyNumberDependsOnlyOnTheSecond()
{
    QSet<int> seen;
    for (int second = 0; second < 24 * 3600; second += 97) {
        const int number = copyNumber(second);
        QVERIFY(number >= 0 && number < 100000);
        QCOMPARE(copyNumber(second), number);
        seen.insert(number);
    }
    // Copies in different seconds get different names, as a rule.
    QVERIFY(seen.size() > 800);
}

void TestContainers::deleteArgumentsKeepTheNameWhole()
{
    QRandomGenerator random(8);
    for (int n = 0; n < 500; ++n) {
        const QString name = "\\\\.\\HDIMAGE\\" + randomAwkwardText(random);
        QCOMPARE(deleteArguments(name), QStringList({"-keyset", "-deletekeyset", "-cont", name}));
    }
}

void TestContainers::copykeyScriptPassesNamesUnchanged_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("runsCsptest");

    QTest::newRow("backslashes and blanks")
        << QStringList{"\\\\.\\HDIMAGE\\my key", "\\\\.\\Aktiv Rutoken ECP 00 00\\my key123"} << 0
        << true;
    QTest::newRow("shell characters")
        << QStringList{"\\\\.\\HDIMAGE\\$HOME *\"'`x`", "\\\\.\\FLASH\\-n  \\t\\\\"} << 0 << true;
    QTest::newRow("utility's exit code")
        << QStringList{"\\\\.\\HDIMAGE\\a", "\\\\.\\FLASH\\a1"} << 3 << true;
    QTest::newRow("one argument") << QStringList{"\\\\.\\HDIMAGE\\a"} << 2 << false;
    QTest::newRow("three arguments") << QStringList{"a", "b", "c"} << 2 << false;
}

void TestContainers::copykeyScriptPassesNamesUnchanged()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(bool, runsCsptest);
    const QString report = "Копирование: ключ\r\nOK.\n[ErrorCode: 0x00000000]\n";
    StandInRule rule;
    rule.tool = "csptest";
    rule.anyArgs = true;
    rule.output = report;
    rule.exitCode = exitCode;
    env->csp.addRule(rule);

    ToolRunner::setCspBinDir(env->csp.dir());
    const ToolResult result = ToolRunner::run(VELMORA_SOURCE_DIR "/screepts/copykey.sh", arguments);
    QVERIFY(result.ended());
    QCOMPARE(result.exitCode, exitCode);
    if (runsCsptest) {
        QCOMPARE(result.output, report);
        QCOMPARE(
            env->csp.calls(),
            QList<StandInCall>({{"csptest",
                                 {"-keycopy", "-contsrc", arguments[0], "-contdest", arguments[1]},
                                 ""}}));
    } else {
        QVERIFY(result.output.startsWith("usage: "));
        QVERIFY(env->csp.calls().isEmpty());
    }
}

void TestContainers::refreshFillsBothLists_data()
{
    QTest::addColumn<QString>("containerOutput");
    QTest::addColumn<int>("containerExit");
    QTest::addColumn<QStringList>("readers");
    QTest::addColumn<QStringList>("expectedContainers");
    QTest::addColumn<QStringList>("expectedReaders");

    const QStringList some{"\\\\.\\HDIMAGE\\b key", "\\\\.\\HDIMAGE\\a", "\\\\.\\FLASH\\c\r"};
    QTest::newRow("containers in output order, then none")
        << containerListing(some) << 0 << QStringList{"HDIMAGE", "Aktiv Rutoken ECP 00 00"}
        << some + QStringList{"none"} << QStringList{"HDIMAGE", "Aktiv Rutoken ECP 00 00"};
    QTest::newRow("nothing found")
        << containerListing({}) << 0 << QStringList() << QStringList{"none"} << QStringList();
    QTest::newRow("utility error prints no container")
        << "Error: 0x8010002c\n[ErrorCode: 0x8010002c]\n"
        << 1 << QStringList{"FLASH"} << QStringList{"none"} << QStringList{"FLASH"};
    QTest::newRow("12 readers, 10 listed") << containerListing({}) << 0 << numbered("reader ", 12)
                                           << QStringList{"none"} << numbered("reader ", 10);
    QTest::newRow("299 containers and none")
        << containerListing(numbered("\\\\.\\HDIMAGE\\k", 299)) << 0 << QStringList()
        << numbered("\\\\.\\HDIMAGE\\k", 299) + QStringList{"none"} << QStringList();
    QTest::newRow("300 containers, no none")
        << containerListing(numbered("\\\\.\\HDIMAGE\\k", 300)) << 0 << QStringList()
        << numbered("\\\\.\\HDIMAGE\\k", 300) << QStringList();
    QTest::newRow("301 containers, 300 listed")
        << containerListing(numbered("\\\\.\\HDIMAGE\\k", 301)) << 0 << QStringList()
        << numbered("\\\\.\\HDIMAGE\\k", 300) << QStringList();
}

void TestContainers::refreshFillsBothLists()
{
    QFETCH(QString, containerOutput);
    QFETCH(int, containerExit);
    QFETCH(QStringList, readers);
    QFETCH(QStringList, expectedContainers);
    QFETCH(QStringList, expectedReaders);
    env->csp.remove("cryptcp"); // an empty start, so that the first press fills the lists
    MainWindow w(nullptr, env->csp.dir());
    env->csp.on("csptest", containerArgs, containerOutput, containerExit);
    env->csp.on("csptest", readerArgs, readerListing(readers));

    // A second press replaces the lists instead of adding to them.
    for (int press = 1; press <= 2; ++press) {
        click(w, "pushButton_keys");
        QCOMPARE(comboItems(w, "comboBox_seakeys"), expectedContainers);
        QCOMPARE(comboItems(w, "comboBox_fd"), expectedReaders);
        QCOMPARE(w.findChild<QComboBox *>("comboBox_seakeys")->currentIndex(), 0);
    }
    const StandInCall containers{"csptest", containerArgs, ""};
    const StandInCall readerCall{"csptest", readerArgs, ""};
    QCOMPARE(env->csp.calls(),
             QList<StandInCall>({containers, readerCall, containers, readerCall}));
    QVERIFY(env->dialogs.shown.isEmpty());
}

void TestContainers::startUpFillsBothLists()
{
    env->csp.on("csptest", containerArgs, containerListing({"\\\\.\\HDIMAGE\\a"}));
    env->csp.on("csptest", readerArgs, readerListing({"HDIMAGE", "FLASH"}));
    MainWindow w(nullptr, env->csp.dir());
    QCOMPARE(comboItems(w, "comboBox_seakeys"), QStringList({"\\\\.\\HDIMAGE\\a", "none"}));
    QCOMPARE(comboItems(w, "comboBox_fd"), QStringList({"HDIMAGE", "FLASH"}));

    QList<StandInCall> csptestCalls;
    for (const StandInCall &call : env->csp.calls())
        if (call.tool == "csptest")
            csptestCalls << call;
    QCOMPARE(csptestCalls,
             QList<StandInCall>({{"csptest", containerArgs, ""}, {"csptest", readerArgs, ""}}));
}

void TestContainers::refreshWithoutCspShowsTwoBoxes()
{
    auto w = window({"\\\\.\\HDIMAGE\\a"}, {"HDIMAGE"});
    env->csp.remove("csptest");
    click(*w, "pushButton_keys");

    QCOMPARE(env->dialogs.messageTexts(), QStringList({"execvp: No such file or directory",
                                                       "execvp: No such file or directory"}));
    for (const ScriptedDialogs::Shown &shown : env->dialogs.shown) {
        QCOMPARE(shown.message.parent, nullptr);
        QCOMPARE(shown.message.title, QString());
    }
    // The container list stays as it was; the reader list is emptied.
    QCOMPARE(comboItems(*w, "comboBox_seakeys"), QStringList({"\\\\.\\HDIMAGE\\a", "none"}));
    QCOMPARE(comboItems(*w, "comboBox_fd"), QStringList());
}

void TestContainers::noneSelectedRefreshesInstead_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("copy") << "pushButton_copykey"
                          << "Выберите контейнер в \"Контейнеры\"";
    QTest::newRow("delete") << "pushButton_delkey"
                            << "Не выбран контейнер";
}

void TestContainers::noneSelectedRefreshesInstead()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    linkCopykeyScript();
    auto w = window({}, {"HDIMAGE"});
    QCOMPARE(comboItems(*w, "comboBox_seakeys"), QStringList{"none"});
    env->csp.clearRules();
    env->csp.on("csptest", containerArgs, containerListing({"\\\\.\\HDIMAGE\\new"}));
    env->csp.on("csptest", readerArgs, readerListing({"FLASH"}));

    click(*w, button.toLatin1().constData());
    QCOMPARE(env->dialogs.shown.size(), 1);
    QCOMPARE(env->dialogs.shown[0].message.text, message);
    QCOMPARE(env->dialogs.shown[0].message.parent, nullptr);
    QCOMPARE(env->dialogs.shown[0].message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(env->csp.calls(),
             QList<StandInCall>({{"csptest", containerArgs, ""}, {"csptest", readerArgs, ""}}));
    QCOMPARE(comboItems(*w, "comboBox_seakeys"), QStringList({"\\\\.\\HDIMAGE\\new", "none"}));
    QCOMPARE(comboItems(*w, "comboBox_fd"), QStringList{"FLASH"});
}

void TestContainers::copyRunsTheScript_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("readers");
    QTest::addColumn<QString>("store");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("delayMs");

    // Longer than the 30 s wait of other runs: a copy has no time limit.
    QTest::newRow("to a token with blanks in its name, slow")
        << "\\\\.\\HDIMAGE\\my key" << QStringList{"HDIMAGE", "Aktiv Rutoken ECP 00 00"}
        << "Aktiv Rutoken ECP 00 00" << 0 << 45000;
    QTest::newRow("copy fails") << "\\\\.\\HDIMAGE\\my key" << QStringList{"FLASH"} << "FLASH" << 1
                                << 0;
    QTest::newRow("no key store found: refused, nothing run")
        << "\\\\.\\HDIMAGE\\abcdefghijklmn" << QStringList() << "" << 0 << 0;
}

void TestContainers::copyRunsTheScript()
{
    QFETCH(QString, source);
    QFETCH(QStringList, readers);
    QFETCH(QString, store);
    QFETCH(int, exitCode);
    QFETCH(int, delayMs);
    linkCopykeyScript();
    auto w = window({"\\\\.\\HDIMAGE\\other", source}, readers);
    const QString report =
        exitCode ? "Копирование контейнера\nError: 0x80090016\n[ErrorCode: 0x80090016]\n"
                 : "Копирование контейнера\n[ErrorCode: 0x00000000]\n";
    StandInRule copy;
    copy.tool = "csptest";
    copy.anyArgs = true;
    copy.output = report;
    copy.exitCode = exitCode;
    copy.delayMs = delayMs;
    env->csp.addRule(copy);
    w->findChild<QComboBox *>("comboBox_seakeys")->setCurrentText(source);
    w->findChild<QComboBox *>("comboBox_fd")->setCurrentText(store);
    QCOMPARE(w->findChild<QComboBox *>("comboBox_fd")->currentText(), store);

    const int before = secondsNow();
    click(*w, "pushButton_copykey");
    const int after = secondsNow();

    QCOMPARE(env->dialogs.messageTexts(),
             QStringList{isKeyStore(store) ? report : noKeyStoreMessage()});
    const MessageSpec &box = env->dialogs.shown[0].message;
    QCOMPARE(box.parent, nullptr);
    QCOMPARE(box.icon, exitCode ? QMessageBox::Warning : QMessageBox::NoIcon);
    QList<StandInCall> calls = env->csp.calls();
    QCOMPARE(calls.size(), isKeyStore(store) ? (exitCode ? 1 : 3) : 0);
    if (calls.isEmpty())
        return;
    // The copy number comes from the second the button was pressed in.
    QStringList targets;
    for (int second = before; second <= after; ++second)
        targets << copyTargetName(source, store, copyNumber(second));
    QCOMPARE(calls[0].args.size(), 5);
    QCOMPARE(calls[0].args.mid(0, 4), QStringList({"-keycopy", "-contsrc", source, "-contdest"}));
    QVERIFY2(targets.contains(calls[0].args[4]), qPrintable(calls[0].args[4]));
    QCOMPARE(box.informativeText.section('\n', 0, 0),
             exitCode ? "Не выполнено." : "Контейнер скопирован.");
    QCOMPARE(box.informativeText.section('\n', -1),
             exitCode ? "Код ошибки: 0x80090016" : "Новый контейнер: " + calls[0].args[4]);
    // After a copy that worked the list is read again, as "Найти доступные контейнеры" does.
    calls.removeFirst();
    QCOMPARE(calls, exitCode ? QList<StandInCall>()
                             : QList<StandInCall>(
                                   {{"csptest", containerArgs, ""}, {"csptest", readerArgs, ""}}));
}

void TestContainers::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("exitCode");

    const QString token = "\\\\.\\Aktiv Rutoken ECP 00 00\\key 2";
    QTest::newRow("yes") << token << int(QMessageBox::Yes) << 0;
    QTest::newRow("yes, utility fails") << token << int(QMessageBox::Yes) << 1;
    QTest::newRow("yes, quote in the name")
        << "\\\\.\\HDIMAGE\\a\" \"b" << int(QMessageBox::Yes) << 0;
    QTest::newRow("no") << token << int(QMessageBox::No) << 0;
    QTest::newRow("box closed") << token << int(QMessageBox::NoButton) << 0;
}

void TestContainers::deleteAsksFirst()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(int, exitCode);
    auto w = window({name, "\\\\.\\HDIMAGE\\other"}, {"FLASH"});
    const QString report = exitCode ? "Удаление\nError: 0x8009001f\n[ErrorCode: 0x8009001f]\n"
                                    : "Удаление\n[ErrorCode: 0x00000000]\n";
    env->csp.on("csptest", {"-keyset", "-deletekeyset", "-cont", name}, report, exitCode);
    env->dialogs.buttons.enqueue(QMessageBox::StandardButton(answer));

    click(*w, "pushButton_delkey");

    QVERIFY(!env->dialogs.shown.isEmpty());
    const MessageSpec &question = env->dialogs.shown[0].message;
    QCOMPARE(question.parent, w.get());
    QCOMPARE(question.title, QString("Удаление ключевого контейнера"));
    QCOMPARE(question.text, "Удалить контейнер " + name + "?\n");
    QCOMPARE(question.buttons, QMessageBox::No | QMessageBox::Yes);
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(question.escapeButton, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        QCOMPARE(env->dialogs.shown.size(), 1);
        QVERIFY(env->csp.calls().isEmpty());
        return;
    }
    QList<StandInCall> deletion{{"csptest", {"-keyset", "-deletekeyset", "-cont", name}, ""}};
    if (!exitCode) // the list is read again
        deletion << StandInCall{"csptest", containerArgs, ""}
                 << StandInCall{"csptest", readerArgs, ""};
    QCOMPARE(env->csp.calls(), deletion);
    QCOMPARE(env->dialogs.messageTexts(), QStringList({question.text, report}));
    QCOMPARE(env->dialogs.shown[1].message.parent, nullptr);
    QCOMPARE(env->dialogs.shown[1].message.icon,
             exitCode ? QMessageBox::Warning : QMessageBox::NoIcon);
}

void TestContainers::failedStartShowsTheError_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("messages");
    // The copy finds no screepts/copykey.sh in the working directory.
    QTest::newRow("copy") << "pushButton_copykey"
                          << QStringList{"execvp: No such file or directory"};
    QTest::newRow("delete") << "pushButton_delkey"
                            << QStringList{"Удалить контейнер \\\\.\\HDIMAGE\\a?\n",
                                           "execvp: No such file or directory"};
}

void TestContainers::failedStartShowsTheError()
{
    QFETCH(QString, button);
    QFETCH(QStringList, messages);
    auto w = window({"\\\\.\\HDIMAGE\\a"}, {"FLASH"});
    env->csp.remove("csptest");
    env->dialogs.buttons.enqueue(QMessageBox::Yes);
    click(*w, button.toLatin1().constData());
    QCOMPARE(env->dialogs.messageTexts(), messages);
    QCOMPARE(env->dialogs.shown.constLast().message.icon, QMessageBox::Warning);
}

void TestContainers::slowRunsAfterTheirWait_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("readers");
    QTest::addColumn<int>("leftRunning");
    QTest::newRow("reader listing goes on") << "pushButton_keys" << QStringList() << 1;
    QTest::newRow("deletion is stopped") << "pushButton_delkey" << QStringList{"FLASH"} << 0;
}

void TestContainers::slowRunsAfterTheirWait()
{
    QFETCH(QString, button);
    QFETCH(QStringList, readers);
    QFETCH(int, leftRunning);
    linkCopykeyScript();
    auto w = window({"\\\\.\\HDIMAGE\\a"}, {"FLASH"});
    env->csp.clearRules();
    env->csp.on("csptest", containerArgs, containerListing({"\\\\.\\HDIMAGE\\a"}));
    StandInRule slow;
    slow.tool = "csptest";
    slow.anyArgs = true;
    slow.delayMs = 45000;
    env->csp.addRule(slow);
    env->dialogs.buttons.enqueue(QMessageBox::Yes);

    click(*w, button.toLatin1().constData());
    QCOMPARE(env->dialogs.messageTexts().constLast(), QString("Process operation timed out"));
    QCOMPARE(comboItems(*w, "comboBox_seakeys"), QStringList({"\\\\.\\HDIMAGE\\a", "none"}));
    QCOMPARE(comboItems(*w, "comboBox_fd"), readers);
    const QList<QProcess *> running = runningProcesses(*w);
    QCOMPARE(running.size(), leftRunning);
    // Stopped and reaped here, as the window would at its close: a run destroyed while still
    // going is a fault of its own.
    for (QProcess *p : running) {
        p->kill();
        QVERIFY(p->waitForFinished());
    }
}

void TestContainers::closeDuringACopyWaitsForIt()
{
    linkCopykeyScript();
    auto w = window({"\\\\.\\HDIMAGE\\a"}, {"FLASH"});
    StandInRule slow;
    slow.tool = "csptest";
    slow.anyArgs = true;
    slow.output = "скопирован\n";
    slow.delayMs = 40000;
    env->csp.addRule(slow);
    setText(*w, "lineEdit_SN", "Иванов");
    env->dialogs.buttons << QMessageBox::Ok << QMessageBox::No;
    // The desktop session ending closes the window while the copy goes on.
    bool closedMeanwhile = true;
    QTimer::singleShot(100, [&] { closedMeanwhile = w->close(); });

    click(*w, "pushButton_copykey");
    QVERIFY(!closedMeanwhile);
    QCOMPARE(env->csp.calls().size(), 3); // the copy ran to its end, then the list was read
    QVERIFY(env->csp.calls().first().finished);
    QVERIFY(w->close());
    QCOMPARE(env->dialogs.messageTexts(), QStringList({"скопирован\n", "Сохранить данные формы?"}));
}

QTEST_MAIN(TestContainers)
#include "tst_containers.moc"
