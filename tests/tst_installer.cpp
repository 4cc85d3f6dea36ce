// The CSP installer: the CSP button, the installer dialog with a stand-in terminal, and its
// scripts run directly on archives made here with tar and with stand-ins for su, sudo and the
// package tools.
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "installer/instalgui.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace WindowTest;

namespace {

const QString scripts = QStringLiteral(VELMORA_SOURCE_DIR "/screepts/");
const QString pki = "cades_linux_amd64/cprocsp-pki-";
const QStringList pluginMembers{
    pki + "cades-64_2.0.14892-1_amd64.deb", pki + "plugin-64_2.0.14892-1_amd64.deb",
    pki + "cades-64-2.0.14892-1.x86_64.rpm", pki + "plugin-64-2.0.14892-1.x86_64.rpm"};

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           (!executable || file.setPermissions(file.permissions() | QFile::ExeOwner));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A gzipped tar archive `name` in `dir` of `members` ("../" kept). A member install.sh notes
// where it ran and exits with `installExit`.
QString makeArchive(const QString &dir, const QString &name, const QStringList &members,
                    int installExit = 0)
{
    for (const QString &member : members)
        if (!writeFile(dir + "/tree/" + member,
                       member.endsWith("install.sh")
                           ? "#!/bin/sh\npwd >installed.txt\necho install.sh ran\nexit " +
                                 QByteArray::number(installExit) + '\n'
                           : "package",
                       true))
            return QString();
    QProcess tar;
    tar.setWorkingDirectory(dir + "/tree");
    tar.start("tar", QStringList{"-czPf", dir + '/' + name} + members);
    return tar.waitForFinished() && tar.exitCode() == 0 ? dir + '/' + name : QString();
}

QList<Instalgui *> installers()
{
    QList<Instalgui *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *installer = qobject_cast<Instalgui *>(w))
            found << installer;
    return found;
}

QString logText(const Instalgui &installer)
{
    return installer.findChild<QTextEdit *>("textEdit_install")->toPlainText();
}

} // namespace

class TestInstaller : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void cspButtonOpensTheInstaller_data();
    void cspButtonOpensTheInstaller();
    void eachPressOpensAFreshInstaller();
    void unpacksTheChosenArchive_data();
    void unpacksTheChosenArchive();
    void installRunsTheScriptInATerminal_data();
    void installRunsTheScriptInATerminal();

    void unpackScriptKeepsToTheWorkDirectory_data();
    void unpackScriptKeepsToTheWorkDirectory();
    void installScriptsInstallCspAndPlugin_data();
    void installScriptsInstallCspAndPlugin();
    void installLogsNeverFollowALink();

private:
    Instalgui *openInstaller(); // from a window without the CSP
    // Runs a script with PATH holding only the stand-ins and the system commands it needs;
    // an installation script must then wait for Enter, which it is given.
    int runScript(const QString &script, const QStringList &arguments, QString *output = nullptr);
    // A stand-in that notes its name and arguments, tab-separated, in calls.txt; su and sudo
    // then run what they were given.
    void addStandIn(const QString &tool);
    QStringList calls() const;

    std::unique_ptr<WindowTestEnv> env;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<QTemporaryDir> temp; // bin/, logs/ and the archives' sources
    QString work;
    QByteArray oldPath;
};

void TestInstaller::init()
{
    env = std::make_unique<WindowTestEnv>();
    temp = std::make_unique<QTemporaryDir>();
    work = env->home.path() + "/buildcpcsp/";
    oldPath = qgetenv("PATH");
    QVERIFY(QDir().mkpath(temp->filePath("logs")) && QDir().mkpath(temp->filePath("bin")));
    for (const char *command : {"bash", "sh", "tar", "gzip", "find", "sort", "rm", "mkdir",
                                "mktemp", "mv", "date", "tee", "dirname"})
        QVERIFY(
            QFile::link(QStandardPaths::findExecutable(command), temp->filePath("bin/") + command));
}

void TestInstaller::cleanup()
{
    qputenv("PATH", oldPath);
    qDeleteAll(installers());
    window.reset();
    temp.reset();
    env.reset();
}

Instalgui *TestInstaller::openInstaller()
{
    env->csp.remove("cryptcp");
    window = env->startWindow();
    click(*window, "pushButton_cryptopro");
    return installers().value(0);
}

int TestInstaller::runScript(const QString &script, const QStringList &arguments, QString *output)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", temp->filePath("bin"));
    env.insert("VELMORA_LOG_DIR", temp->filePath("logs"));
    env.insert("CALLS", temp->filePath("calls.txt"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(scripts + script, arguments);
    QByteArray text;
    if (script != "createarch.sh") {
        while (!text.contains("Нажмите Enter") && process.waitForReadyRead(5000))
            text += process.readAll();
        if (process.waitForFinished(100)) // the terminal would have closed
            return -1;
        process.write("\n");
    }
    process.closeWriteChannel();
    process.waitForFinished(5000);
    if (output)
        *output = QString::fromUtf8(text + process.readAll()).replace(work, "{work}/");
    return process.state() == QProcess::NotRunning ? process.exitCode() : -1;
}

void TestInstaller::addStandIn(const QString &tool)
{
    QByteArray body = "#!/bin/sh\n{ printf %s \"${0##*/}\"; printf '\\t%s' \"$@\"; echo; } "
                      ">>\"$CALLS\"\n";
    if (tool == "su")
        body += "[ \"$1 $2\" = '- -c' ] && exec sh -c \"$3\"\n";
    if (tool == "sudo")
        body += "exec \"$@\"\n";
    QVERIFY(writeFile(temp->filePath("bin/" + tool), body, true));
}

QStringList TestInstaller::calls() const
{
    return QString::fromUtf8(readFile(temp->filePath("calls.txt")))
        .split('\n', Qt::SkipEmptyParts)
        .replaceInStrings(work, "{work}/")
        .replaceInStrings(work.chopped(1), "{work}");
}

void TestInstaller::cspButtonOpensTheInstaller_data()
{
    QTest::addColumn<bool>("cspInstalled");
    QTest::addColumn<int>("answer"); // QMessageBox::StandardButton
    QTest::addColumn<bool>("opened");

    QTest::newRow("installed, reinstall") << true << int(QMessageBox::Yes) << true;
    QTest::newRow("installed, keep it") << true << int(QMessageBox::No) << false;
    QTest::newRow("installed, question closed") << true << int(QMessageBox::NoButton) << false;
    QTest::newRow("missing: no question") << false << int(QMessageBox::NoButton) << true;
}

void TestInstaller::cspButtonOpensTheInstaller()
{
    QFETCH(bool, cspInstalled);
    QFETCH(int, answer);
    QFETCH(bool, opened);

    if (!cspInstalled)
        env->csp.remove("cryptcp");
    window = env->startWindow();
    env->dialogs.buttons.enqueue(QMessageBox::StandardButton(answer));

    click(*window, "pushButton_cryptopro");

    QCOMPARE(env->dialogs.shown.size(), cspInstalled ? 1 : 0);
    if (cspInstalled) {
        const MessageSpec &box = env->dialogs.shown.first().message;
        QCOMPARE(box.parent, window.get());
        QCOMPARE(box.title, "Установка КритпоПро CSP");
        QCOMPARE(box.text, "\"КриптоПро CSP\" уже установлен");
        QCOMPARE(box.informativeText, "Переустановить \"КритпоПро CSP\"?");
        QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    }
    QCOMPARE(installers().size(), opened ? 1 : 0);
    if (opened)
        QVERIFY(installers().first()->isVisible() && !installers().first()->parentWidget());
    QVERIFY(env->csp.calls().isEmpty());
}

void TestInstaller::eachPressOpensAFreshInstaller()
{
    Instalgui *first = openInstaller();
    QVERIFY(first);
    click(*first, "pushButton_scp"); // no file chosen: a line in the log area
    click(*first, "pushButton_2");
    QVERIFY(!first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    click(*window, "pushButton_cryptopro");

    QCOMPARE(installers().size(), 1);
    QVERIFY(installers().first()->isVisible());
    QCOMPARE(logText(*installers().first()), QString());
}

void TestInstaller::unpacksTheChosenArchive_data()
{
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("member"); // the archive's one file; "" for none chosen
    QTest::addColumn<QString>("script"); // createarch.sh: "real" or "slow"
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("progress");
    QTest::addColumn<QString>("disabled");

    const auto unpacked = [](const QString &directory) {
        return "Архив {archive} распакован в {work}/:\n  " + directory +
               "\n\nРаспаковка архива завершена\n";
    };
    QTest::newRow("Debian, CSP") << 0 << "pushButton_scp"
                                 << "linux-amd64_deb/install.sh"
                                 << "real"
                                 << "linux-amd64_deb.tgz" << unpacked("linux-amd64_deb") << 2
                                 << "pushButton_scp";
    QTest::newRow("Ubuntu, CSP: the Debian archive")
        << 2 << "pushButton_scp"
        << "linux-amd64_deb/install.sh"
        << "real"
        << "linux-amd64_deb.tgz" << unpacked("linux-amd64_deb") << 2 << "pushButton_scp";
    QTest::newRow("Alt Linux, plug-in")
        << 3 << "pushButton_cades" << pluginMembers[0] << "real"
        << "cades_linux_amd64.tar.gz" << unpacked("cades_linux_amd64") << 4 << "pushButton_cades";
    QTest::newRow("refused archive is no success")
        << 4 << "pushButton_scp"
        << "../escape"
        << "real"
        << "linux-amd64.tgz"
        << "Архив содержит путь вне каталога распаковки: ../escape\n"
           "Архив не распакован: {archive}\n\nОшибка распаковки архива\n"
        << 0 << "";
    QTest::newRow("no file chosen") << 1 << "pushButton_scp"
                                    << ""
                                    << "real"
                                    << "linux-amd64_deb.tgz"
                                    << "Фаил архива не выбран\n"
                                    << 0 << "";
    QTest::newRow("script outlasts its wait") << 0 << "pushButton_scp"
                                              << "linux-amd64_deb/install.sh"
                                              << "slow"
                                              << "linux-amd64_deb.tgz"
                                              << "Process operation timed out" << 0 << "";
}

void TestInstaller::unpacksTheChosenArchive()
{
    QFETCH(int, system);
    QFETCH(QString, button);
    QFETCH(QString, member);
    QFETCH(QString, script);
    QFETCH(QString, filter);
    QFETCH(QString, log);
    QFETCH(int, progress);
    QFETCH(QString, disabled);

    const QString home = env->home.path();
    QVERIFY(QDir(home).mkdir("screepts"));
    if (script == "real")
        QVERIFY(QFile::link(scripts + "createarch.sh", home + "/screepts/createarch.sh"));
    const QString slowTar = temp->filePath("slowtar");
    if (script == "slow") {
        // The real script, whose tar never ends: stopping the script must stop tar too and
        // still clean up the staging directory.
        QVERIFY(QFile::link(scripts + "createarch.sh", home + "/screepts/createarch.sh"));
        QVERIFY(writeFile(slowTar + "/tar",
                          "#!/bin/sh\ncase \"$1\" in -x*) echo $$ >\"$0.pid\"; sleep 60;; esac\n"
                          "exec /bin/tar \"$@\"\n",
                          true));
        qputenv("PATH", QFile::encodeName(slowTar) + ':' + oldPath);
        ToolRunner::setWaitFactorForTests(0.01); // 50 s become 0.5 s
    }
    const QString archive =
        member.isEmpty() ? QString("none") : makeArchive(home + "/Загрузки", filter, {member});
    if (!member.isEmpty())
        env->dialogs.files.enqueue(archive);
    Instalgui *installer = openInstaller();
    QVERIFY(installer);
    installer->findChild<QComboBox *>("comboBox_OS")->setCurrentIndex(system);

    click(*installer, button.toLatin1());

    QCOMPARE(env->dialogs.shown.size(), 1);
    const FileDialogSpec &asked = env->dialogs.shown.first().file;
    QCOMPARE(asked.parent, installer);
    QCOMPARE(asked.caption, button == "pushButton_scp" ? "Выберите фаил архива КриптоПро CSP"
                                                       : "Выберите фаил архива плагина");
    QCOMPARE(asked.directory, home);
    QCOMPARE(asked.filter, filter);
    QCOMPARE(asked.options, QFileDialog::Options());
    QCOMPARE(logText(*installer).replace(archive, "{archive}").replace(work, "{work}/"), log);
    QCOMPARE(installer->findChild<QProgressBar *>("progressBar")->value(), progress);
    for (const char *name : {"pushButton_scp", "pushButton_cades"})
        QCOMPARE(installer->findChild<QPushButton *>(name)->isEnabled(), disabled != name);
    if (script == "slow") {
        const qint64 tar = readFile(slowTar + "/tar.pid").trimmed().toLongLong();
        QVERIFY(tar > 0);
        QVERIFY2(!QFile::exists(QString("/proc/%1/cmdline").arg(tar)) ||
                     readFile(QString("/proc/%1/cmdline").arg(tar)).isEmpty(),
                 "tar was left running");
        QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }
}

void TestInstaller::installRunsTheScriptInATerminal_data()
{
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("terminal"); // what xterm notes: the arguments, one a line
    QTest::addColumn<QString>("log");

    QTest::newRow("Debian") << 0 << "-e\nscreepts/debian.sh\n{work}/linux-amd64_deb/\n"
                            << "";
    QTest::newRow("Astra") << 1 << "-e\nscreepts/astra.sh\n{work}/linux-amd64_deb/\n"
                           << "";
    QTest::newRow("Ubuntu") << 2 << "-e\nscreepts/ubuntu.sh\n{work}/linux-amd64_deb/\n"
                            << "";
    QTest::newRow("Alt Linux") << 3 << "-e\nscreepts/altlinux.sh\n{work}/linux-amd64/\n"
                               << "";
    QTest::newRow("RPM") << 4 << "-e\nscreepts/rpmbase.sh\n{work}/linux-amd64/\n"
                         << "";
    QTest::newRow("SUSE: the work directory itself") << 5 << "-e\nscreepts/suse.sh\n{work}/\n"
                                                     << "";
    QTest::newRow("no terminal") << 0 << ""
                                 << "ERROR";
}

void TestInstaller::installRunsTheScriptInATerminal()
{
    QFETCH(int, system);
    QFETCH(QString, terminal);
    QFETCH(QString, log);

    const QString xterm = temp->filePath("terminal/xterm");
    if (!terminal.isEmpty())
        QVERIFY(writeFile(xterm,
                          "#!/bin/sh\nprintf '%s\\n' \"$@\" >\"$0.tmp\"\n"
                          "mv \"$0.tmp\" \"$0.args\"\n",
                          true));
    qputenv("PATH", QFile::encodeName(temp->filePath("terminal") + ':' + temp->filePath("bin")));
    Instalgui *installer = openInstaller();
    QVERIFY(installer);
    installer->findChild<QComboBox *>("comboBox_OS")->setCurrentIndex(system);

    click(*installer, "pushButton");

    QCOMPARE(logText(*installer), log);
    if (!terminal.isEmpty()) {
        QTRY_VERIFY(QFile::exists(xterm + ".args"));
        QCOMPARE(QString::fromUtf8(readFile(xterm + ".args")).replace(work, "{work}/"), terminal);
    }
}

void TestInstaller::unpackScriptKeepsToTheWorkDirectory_data()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QString>("damage"); // "", "truncated" or "missing"
    QTest::addColumn<bool>("unpacked");
    QTest::addColumn<QString>("message");

    const QStringList csp{"linux-amd64/install.sh", "linux-amd64/lsb-cprocsp-base.rpm"};
    QTest::newRow("CSP archive") << csp << "" << true
                                 << "распакован в {work}/:\n  linux-amd64 (заменён прежний)\n";
    QTest::newRow("a member outside") << csp + QStringList{"../escape"} << "" << false
                                      << "Архив содержит путь вне каталога распаковки: ../escape";
    QTest::newRow("damaged archive") << csp << "truncated" << false << "Архив повреждён";
    QTest::newRow("no such file") << csp << "missing" << false << "Файл архива не найден";
}

void TestInstaller::unpackScriptKeepsToTheWorkDirectory()
{
    QFETCH(QStringList, members);
    QFETCH(QString, damage);
    QFETCH(bool, unpacked);
    QFETCH(QString, message);

    // An earlier unpack left a link where the archive's directory goes.
    const QString outside = env->home.path() + "/outside";
    QVERIFY(QDir().mkpath(outside) && QDir().mkpath(work));
    QVERIFY(QFile::link(outside, work + "linux-amd64"));
    const QString archive = makeArchive(temp->path(), "a.tgz", members);
    if (damage == "truncated")
        QVERIFY(writeFile(archive, readFile(archive).left(60)));
    if (damage == "missing")
        QVERIFY(QFile::remove(archive));

    QString output;
    QCOMPARE(runScript("createarch.sh", {archive}, &output) == 0, unpacked);

    QVERIFY2(output.contains(message), qPrintable(output));
    QCOMPARE(QDir(outside).isEmpty(), true);
    QVERIFY(!QFileInfo::exists(env->home.path() + "/escape"));
    QCOMPARE(QFileInfo::exists(work + "linux-amd64/install.sh"), unpacked);
    QCOMPARE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"linux-amd64"}); // no half-done unpack left behind
}

void TestInstaller::installScriptsInstallCspAndPlugin_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("tools"); // besides su and sudo
    QTest::addColumn<int>("installExit");   // -1: the CSP archive was not unpacked
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("message");

    QStringList debs = pluginMembers.mid(0, 2), rpms = pluginMembers.mid(2);
    debs.replaceInStrings(QRegularExpression("^"), "{work}/");
    rpms.replaceInStrings(QRegularExpression("^"), "{work}/");
    const auto su = [](const QString &command) { return "su\t-\t-c\t" + command; };
    const QString done = "КриптоПро CSP и плагин установлены.";
    QTest::newRow("Debian: su, apt")
        << "debian.sh" << QStringList{"apt", "dpkg"} << 0
        << QStringList{su("cd '{work}/linux-amd64_deb' && './install.sh'"),
                       su("cd '{work}' && 'apt' 'install' '" + debs.join("' '") + "'"),
                       "apt\tinstall\t" + debs.join('\t')}
        << done;
    QTest::newRow("Ubuntu without apt: sudo, dpkg")
        << "ubuntu.sh" << QStringList{"dpkg"} << 0
        << QStringList{"sudo\t./install.sh", "sudo\tdpkg\t-i\t" + debs.join('\t'),
                       "dpkg\t-i\t" + debs.join('\t')}
        << done;
    QTest::newRow("Alt Linux: su, apt-get")
        << "altlinux.sh" << QStringList{"apt-get"} << 0
        << QStringList{su("cd '{work}/linux-amd64' && './install.sh'"),
                       su("cd '{work}' && 'apt-get' 'install' '" + rpms.join("' '") + "'"),
                       "apt-get\tinstall\t" + rpms.join('\t')}
        << done;
    QTest::newRow("RPM: sudo, dnf")
        << "rpmbase.sh" << QStringList{"dnf", "yum"} << 0
        << QStringList{"sudo\t./install.sh", "sudo\tdnf\tinstall\t" + rpms.join('\t'),
                       "dnf\tinstall\t" + rpms.join('\t')}
        << done;
    QTest::newRow("SUSE: the work directory itself, zypper")
        << "suse.sh" << QStringList{"zypper"} << 0
        << QStringList{"sudo\t./install.sh", "sudo\tzypper\tinstall\t" + rpms.join('\t'),
                       "zypper\tinstall\t" + rpms.join('\t')}
        << done;
    QTest::newRow("CSP archive not unpacked")
        << "debian.sh" << QStringList{"apt"} << -1 << QStringList()
        << "Не найден {work}/linux-amd64_deb/install.sh: сначала распакуйте архив КриптоПро CSP.";
    QTest::newRow("install.sh fails: no plug-in")
        << "astra.sh" << QStringList{"apt"} << 3 << QStringList{"sudo\t./install.sh"}
        << "Установка КриптоПро CSP не удалась (код 3)";
}

void TestInstaller::installScriptsInstallCspAndPlugin()
{
    QFETCH(QString, script);
    QFETCH(QStringList, tools);
    QFETCH(int, installExit);
    QFETCH(QStringList, calls);
    QFETCH(QString, message);

    // The vendor's archives, unpacked; the CSP's own packages are not the plug-in's.
    const QString csp = QString("debian.sh astra.sh ubuntu.sh").contains(script) ? "linux-amd64_deb"
                                                                                 : "linux-amd64";
    if (installExit >= 0)
        QCOMPARE(runScript("createarch.sh",
                           {makeArchive(temp->path(), "csp.tgz",
                                        {csp + "/install.sh", csp + "/lsb-cprocsp-base_5_all.deb",
                                         csp + "/lsb-cprocsp-base-5.noarch.rpm"},
                                        installExit)}),
                 0);
    QCOMPARE(runScript("createarch.sh", {makeArchive(temp->path(), "cades.tgz", pluginMembers)}),
             0);
    for (const QString &tool : tools + QStringList{"su", "sudo"})
        addStandIn(tool);

    QString output;
    const int exitCode =
        runScript(script, {script == "suse.sh" ? work : work + csp + '/'}, &output);

    QCOMPARE(this->calls(), calls);
    QVERIFY2(output.contains(message), qPrintable(output));
    QCOMPARE(exitCode, message == "КриптоПро CSP и плагин установлены." ? 0 : 1);
    if (installExit >= 0)
        QCOMPARE(readFile(work + csp + "/installed.txt"), QFile::encodeName(work + csp) + '\n');
}

void TestInstaller::installLogsNeverFollowALink()
{
    QCOMPARE(runScript("createarch.sh",
                       {makeArchive(temp->path(), "csp.tgz", {"linux-amd64/install.sh"})}),
             0);
    addStandIn("sudo");
    const QString logs = temp->filePath("logs/");
    QVERIFY(writeFile(temp->filePath("target"), "not a log"));
    QVERIFY(QFile::link(temp->filePath("target"), logs + "log.txt"));
    QVERIFY(QFile::link(temp->filePath("nowhere"), logs + "install.log"));

    QCOMPARE(runScript("suse.sh", {work}), 1); // no plug-in packages

    QCOMPARE(readFile(temp->filePath("target")), QByteArray("not a log"));
    QVERIFY(!QFileInfo::exists(temp->filePath("nowhere")));
    QVERIFY(!QFileInfo(logs + "log.txt").isSymLink() &&
            !QFileInfo(logs + "install.log").isSymLink());
    QCOMPARE(readFile(logs + "install.log"), QByteArray("install.sh ran\n"));
    QVERIFY(readFile(logs + "log.txt").contains("install.sh: код завершения 0\n"));
}

QTEST_MAIN(TestInstaller)
#include "tst_installer.moc"
