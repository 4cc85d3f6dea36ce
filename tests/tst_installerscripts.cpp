// The installer's scripts, run directly: screepts/createarch.sh on archives made here with tar,
// and the six installation scripts with stand-ins for su, sudo and the package tools.
#include "support/standin.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString scripts = QStringLiteral(VELMORA_SOURCE_DIR "/screepts/");

// The system commands the scripts use; the tests' PATH offers these and the stand-ins only, so
// that which package tool a script finds is up to the test.
const QStringList systemCommands{"bash",  "sh",     "tar", "gzip", "find", "sort",    "rm",
                                 "mkdir", "mktemp", "mv",  "date", "tee",  "dirname", "cat"};

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
        return false;
    file.close();
    return !executable ||
           file.setPermissions(file.permissions() | QFile::ExeOwner | QFile::ExeGroup);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

struct Run
{
    int exitCode = -1;
    QString output;
};

} // namespace

class TestInstallerScripts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void unpacksIntoTheWorkDirectory_data();
    void unpacksIntoTheWorkDirectory();
    void installsTheCspAndThePlugin_data();
    void installsTheCspAndThePlugin();
    void logsNeverFollowALink();

private:
    // Makes a gzipped tar archive of `members` (paths under a source tree; "../" kept as it is).
    // A member named install.sh becomes a script that notes where it ran and exits with
    // `installExit`.
    QString makeArchive(const QString &name, const QStringList &members, int installExit = 0);
    // Runs a script with the stand-ins first on PATH and answers its closing Enter, checking
    // that it waited for it.
    Run runScript(const QString &script, const QStringList &arguments);
    // A stand-in for a root or package tool: notes its arguments in calls.txt, one line per
    // call, tab-separated; su and sudo then run the command they were given.
    void addStandIn(const QString &tool, int exitCode = 0);
    QStringList calls() const;

    std::unique_ptr<TestHome> home;
    std::unique_ptr<QTemporaryDir> tools; // bin/ on PATH, sources of archives, logs
    QString work;
};

void TestInstallerScripts::init()
{
    home = std::make_unique<TestHome>();
    tools = std::make_unique<QTemporaryDir>();
    QVERIFY(tools->isValid());
    work = home->path() + "/buildcpcsp/";
    QVERIFY(QDir().mkpath(tools->filePath("bin")));
    QVERIFY(QDir().mkpath(tools->filePath("logs")));
    for (const QString &command : systemCommands) {
        const QString path = QStandardPaths::findExecutable(command);
        QVERIFY2(!path.isEmpty(), qPrintable(command));
        QVERIFY(QFile::link(path, tools->filePath("bin/" + command)));
    }
}

void TestInstallerScripts::cleanup()
{
    tools.reset();
    home.reset();
}

QString TestInstallerScripts::makeArchive(const QString &name, const QStringList &members,
                                          int installExit)
{
    const QString root = tools->filePath("src/" + name + "/root");
    for (const QString &member : members) {
        const bool install = member.endsWith("/install.sh");
        const QByteArray content = install ? "#!/bin/sh\npwd > installed.txt\necho install.sh ran\n"
                                             "exit " +
                                                 QByteArray::number(installExit) + "\n"
                                           : QByteArray("package");
        if (!writeFile(root + '/' + member, content, install))
            return QString();
    }
    const QString archive = tools->filePath(name);
    QProcess tar;
    tar.setWorkingDirectory(root);
    tar.start("tar", QStringList{"-czPf", archive} + members);
    return tar.waitForFinished() && tar.exitCode() == 0 ? archive : QString();
}

Run TestInstallerScripts::runScript(const QString &script, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", tools->filePath("bin"));
    env.insert("HOME", home->path());
    env.insert("VELMORA_LOG_DIR", tools->filePath("logs"));
    env.insert("CALLS", tools->filePath("calls.txt"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(scripts + script, arguments);

    Run run;
    QByteArray output;
    const bool installer = script != "createarch.sh";
    while (installer && !output.contains("Нажмите Enter") && process.waitForReadyRead(5000))
        output += process.readAll();
    if (installer) {
        // The terminal closes when the script ends: it must still be waiting here.
        if (process.waitForFinished(100))
            return run;
        process.write("\n");
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(5000))
        return run;
    run.output = QString::fromUtf8(output + process.readAll());
    run.exitCode = process.exitCode();
    return run;
}

void TestInstallerScripts::addStandIn(const QString &tool, int exitCode)
{
    QByteArray body = "#!/bin/sh\n{ printf '%s' \"${0##*/}\"; printf '\\t%s' \"$@\"; echo; } "
                      ">>\"$CALLS\"\n";
    if (tool == "su")
        body += "[ \"$1 $2\" = '- -c' ] || exit 90\nexec sh -c \"$3\"\n";
    else if (tool == "sudo")
        body += "exec \"$@\"\n";
    else
        body += "exit " + QByteArray::number(exitCode) + "\n";
    QVERIFY(writeFile(tools->filePath("bin/" + tool), body, true));
}

QStringList TestInstallerScripts::calls() const
{
    const QString text = QString::fromUtf8(readFile(tools->filePath("calls.txt")));
    QStringList lines = text == "(missing)" ? QStringList() : text.split('\n');
    lines.removeAll(QString());
    return lines.replaceInStrings(work, "{work}/").replaceInStrings(work.chopped(1), "{work}");
}

void TestInstallerScripts::unpacksIntoTheWorkDirectory_data()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QString>("damage");     // "", "truncated" or "missing"
    QTest::addColumn<QStringList>("before"); // files under HOME, or "link NAME TARGET"
    QTest::addColumn<bool>("unpacked");
    QTest::addColumn<QStringList>("present"); // under HOME
    QTest::addColumn<QStringList>("absent");  // under HOME
    QTest::addColumn<QString>("message");

    const QStringList debian{"linux-amd64_deb/install.sh",
                             "linux-amd64_deb/lsb-cprocsp-base_5.0.12000-6_all.deb"};
    QTest::newRow("CSP archive for Debian")
        << debian << "" << QStringList() << true
        << QStringList{"buildcpcsp/linux-amd64_deb/install.sh",
                       "buildcpcsp/linux-amd64_deb/lsb-cprocsp-base_5.0.12000-6_all.deb"}
        << QStringList() << "  linux-amd64_deb\n";
    QTest::newRow("plug-in archive")
        << QStringList{"cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb"} << ""
        << QStringList() << true
        << QStringList{"buildcpcsp/cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb"}
        << QStringList() << "  cades_linux_amd64\n";
    QTest::newRow("an earlier unpack is replaced")
        << QStringList{"linux-amd64/install.sh"} << ""
        << QStringList{"buildcpcsp/linux-amd64/old.rpm"} << true
        << QStringList{"buildcpcsp/linux-amd64/install.sh"}
        << QStringList{"buildcpcsp/linux-amd64/old.rpm"} << "  linux-amd64 (заменён прежний)\n";
    QTest::newRow("a link in the work directory is not followed")
        << QStringList{"linux-amd64/install.sh"} << ""
        << QStringList{"outside/keep", "link buildcpcsp/linux-amd64 ../outside"} << true
        << QStringList{"buildcpcsp/linux-amd64/install.sh", "outside/keep"}
        << QStringList{"outside/install.sh"} << "  linux-amd64 (заменён прежний)\n";
    QTest::newRow("a member outside the work directory")
        << QStringList{"linux-amd64/install.sh", "../escape"} << "" << QStringList() << false
        << QStringList() << QStringList{"escape", "buildcpcsp/escape", "buildcpcsp/linux-amd64"}
        << "Архив содержит путь вне каталога распаковки: ../escape\n";
    QTest::newRow("damaged archive")
        << debian << "truncated" << QStringList() << false << QStringList()
        << QStringList{"buildcpcsp/linux-amd64_deb"} << "Архив повреждён";
    QTest::newRow("no such file") << debian << "missing" << QStringList() << false << QStringList()
                                  << QStringList{"buildcpcsp"}
                                  << "Файл архива не найден или недоступен для чтения";
}

void TestInstallerScripts::unpacksIntoTheWorkDirectory()
{
    QFETCH(QStringList, members);
    QFETCH(QString, damage);
    QFETCH(QStringList, before);
    QFETCH(bool, unpacked);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QString, message);

    for (const QString &entry : before) {
        const QStringList link = entry.split(' ');
        if (link.first() == "link") {
            QDir().mkpath(QFileInfo(home->path() + '/' + link[1]).path());
            QVERIFY(QFile::link(link[2], home->path() + '/' + link[1]));
        } else {
            QVERIFY(writeFile(home->path() + '/' + entry, "old"));
        }
    }
    QString archive = makeArchive("archive.tgz", members);
    QVERIFY(!archive.isEmpty());
    if (damage == "truncated")
        QVERIFY(writeFile(archive, readFile(archive).left(60)));
    if (damage == "missing")
        QVERIFY(QFile::remove(archive));

    const Run run = runScript("createarch.sh", {archive});

    QCOMPARE(run.exitCode == 0, unpacked);
    QVERIFY2(run.output.contains(message), qPrintable(run.output));
    for (const QString &path : present)
        QVERIFY2(QFileInfo::exists(home->path() + '/' + path), qPrintable(path));
    for (const QString &path : absent)
        QVERIFY2(!QFileInfo::exists(home->path() + '/' + path), qPrintable(path));
    // Nothing is left over from unpacking but what the archive holds.
    if (QFileInfo::exists(work))
        QCOMPARE(QDir(work)
                     .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                     .filter(".unpack"),
                 QStringList());
}

void TestInstallerScripts::installsTheCspAndThePlugin_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("cspDirectory"); // the CSP archive's directory; "" for none
    QTest::addColumn<QString>("argument");     // under the work directory
    QTest::addColumn<QStringList>("tools");    // package tools present besides su and sudo
    QTest::addColumn<int>("installExit");
    QTest::addColumn<bool>("withPlugin");
    QTest::addColumn<int>("toolExit");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("exitCode");

    const QString debs = "{work}/cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb"
                         "\t{work}/cades_linux_amd64/cprocsp-pki-plugin-64_2.0.14892-1_amd64.deb";
    const QString rpms = "{work}/cades_linux_amd64/cprocsp-pki-cades-64-2.0.14892-1.x86_64.rpm"
                         "\t{work}/cades_linux_amd64/cprocsp-pki-plugin-64-2.0.14892-1.x86_64.rpm";
    const auto quoted = [](QString list) { return "'" + list.replace("\t", "' '") + "'"; };
    const QString done = "КриптоПро CSP и плагин установлены.";

    QTest::newRow("Debian: su, apt")
        << "debian.sh"
        << "linux-amd64_deb"
        << "linux-amd64_deb/" << QStringList{"apt", "dpkg"} << 0 << true << 0
        << QStringList{"su\t-\t-c\tcd '{work}/linux-amd64_deb' && './install.sh'",
                       "su\t-\t-c\tcd '{work}' && 'apt' 'install' " + quoted(debs),
                       "apt\tinstall\t" + debs}
        << done << 0;
    QTest::newRow("Astra: sudo, apt")
        << "astra.sh"
        << "linux-amd64_deb"
        << "linux-amd64_deb/" << QStringList{"apt", "dpkg"} << 0 << true << 0
        << QStringList{"sudo\t./install.sh", "sudo\tapt\tinstall\t" + debs, "apt\tinstall\t" + debs}
        << done << 0;
    QTest::newRow("Ubuntu without apt: dpkg")
        << "ubuntu.sh"
        << "linux-amd64_deb"
        << "linux-amd64_deb/" << QStringList{"dpkg"} << 0 << true << 0
        << QStringList{"sudo\t./install.sh", "sudo\tdpkg\t-i\t" + debs, "dpkg\t-i\t" + debs} << done
        << 0;
    QTest::newRow("Alt Linux: su, apt-get")
        << "altlinux.sh"
        << "linux-amd64"
        << "linux-amd64/" << QStringList{"apt-get", "rpm"} << 0 << true << 0
        << QStringList{"su\t-\t-c\tcd '{work}/linux-amd64' && './install.sh'",
                       "su\t-\t-c\tcd '{work}' && 'apt-get' 'install' " + quoted(rpms),
                       "apt-get\tinstall\t" + rpms}
        << done << 0;
    QTest::newRow("RPM: sudo, dnf")
        << "rpmbase.sh"
        << "linux-amd64"
        << "linux-amd64/" << QStringList{"dnf", "yum"} << 0 << true << 0
        << QStringList{"sudo\t./install.sh", "sudo\tdnf\tinstall\t" + rpms, "dnf\tinstall\t" + rpms}
        << done << 0;
    QTest::newRow("RPM without dnf: yum")
        << "rpmbase.sh"
        << "linux-amd64"
        << "linux-amd64/" << QStringList{"yum"} << 0 << true << 0
        << QStringList{"sudo\t./install.sh", "sudo\tyum\tinstall\t" + rpms, "yum\tinstall\t" + rpms}
        << done << 0;
    QTest::newRow("SUSE: the work directory itself, zypper")
        << "suse.sh"
        << "linux-amd64"
        << "" << QStringList{"zypper"} << 0 << true << 0
        << QStringList{"sudo\t./install.sh", "sudo\tzypper\tinstall\t" + rpms,
                       "zypper\tinstall\t" + rpms}
        << done << 0;
    QTest::newRow("CSP archive not unpacked")
        << "debian.sh"
        << ""
        << "linux-amd64_deb/" << QStringList{"apt"} << 0 << true << 0 << QStringList()
        << "Не найден " + QString("{work}/linux-amd64_deb/install.sh") +
               ": сначала распакуйте архив КриптоПро CSP."
        << 1;
    QTest::newRow("install.sh fails: no plug-in")
        << "astra.sh"
        << "linux-amd64_deb"
        << "linux-amd64_deb/" << QStringList{"apt"} << 3 << true << 0
        << QStringList{"sudo\t./install.sh"} << "Установка КриптоПро CSP не удалась (код 3)" << 1;
    QTest::newRow("plug-in archive not unpacked")
        << "rpmbase.sh"
        << "linux-amd64"
        << "linux-amd64/" << QStringList{"dnf"} << 0 << false << 0
        << QStringList{"sudo\t./install.sh"} << "Пакеты плагина (cprocsp-pki-*.rpm) не найдены"
        << 1;
    QTest::newRow("package tool fails")
        << "suse.sh"
        << "linux-amd64"
        << "" << QStringList{"zypper"} << 0 << true << 4
        << QStringList{"sudo\t./install.sh", "sudo\tzypper\tinstall\t" + rpms,
                       "zypper\tinstall\t" + rpms}
        << "установка плагина не удалась (код 4)" << 1;
}

void TestInstallerScripts::installsTheCspAndThePlugin()
{
    QFETCH(QString, script);
    QFETCH(QString, cspDirectory);
    QFETCH(QString, argument);
    QFETCH(QStringList, tools);
    QFETCH(int, installExit);
    QFETCH(bool, withPlugin);
    QFETCH(int, toolExit);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QString, message);
    QFETCH(int, exitCode);

    // The vendor's archives as createarch.sh leaves them; the CSP archive brings packages of
    // its own that the plug-in step must leave alone.
    if (!cspDirectory.isEmpty()) {
        const QString csp = makeArchive("csp.tgz",
                                        {cspDirectory + "/install.sh",
                                         cspDirectory + "/lsb-cprocsp-base-5.0.12000-6.noarch.rpm",
                                         cspDirectory + "/lsb-cprocsp-base_5.0.12000-6_all.deb"},
                                        installExit);
        QCOMPARE(runScript("createarch.sh", {csp}).exitCode, 0);
    }
    if (withPlugin) {
        const QString plugin = makeArchive(
            "cades.tar.gz", {"cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb",
                             "cades_linux_amd64/cprocsp-pki-plugin-64_2.0.14892-1_amd64.deb",
                             "cades_linux_amd64/cprocsp-pki-cades-64-2.0.14892-1.x86_64.rpm",
                             "cades_linux_amd64/cprocsp-pki-plugin-64-2.0.14892-1.x86_64.rpm"});
        QCOMPARE(runScript("createarch.sh", {plugin}).exitCode, 0);
    }
    addStandIn("su");
    addStandIn("sudo");
    for (const QString &tool : tools)
        addStandIn(tool, toolExit);

    const Run run = runScript(script, {work + argument});

    QCOMPARE(calls(), expectedCalls);
    QVERIFY2(QString(run.output).replace(work, "{work}/").contains(message),
             qPrintable(run.output));
    QCOMPARE(run.exitCode, exitCode);
    const QString installDir = work + cspDirectory;
    if (!expectedCalls.isEmpty())
        QCOMPARE(readFile(installDir + "/installed.txt"), QFile::encodeName(installDir) + '\n');
}

void TestInstallerScripts::logsNeverFollowALink()
{
    const QString csp = makeArchive("csp.tgz", {"linux-amd64/install.sh"});
    QCOMPARE(runScript("createarch.sh", {csp}).exitCode, 0);
    addStandIn("sudo");
    addStandIn("dnf");
    const QString logs = tools->filePath("logs/");
    QVERIFY(writeFile(tools->filePath("target"), "not a log"));
    QVERIFY(QFile::link(tools->filePath("target"), logs + "log.txt"));
    QVERIFY(QFile::link(tools->filePath("nowhere"), logs + "install.log"));

    const Run run = runScript("rpmbase.sh", {work + "linux-amd64/"});

    QCOMPARE(run.exitCode, 1); // no plug-in packages
    QCOMPARE(readFile(tools->filePath("target")), QByteArray("not a log"));
    QVERIFY(!QFileInfo::exists(tools->filePath("nowhere")));
    for (const QString &log : {logs + "log.txt", logs + "install.log"})
        QVERIFY2(QFileInfo(log).isFile() && !QFileInfo(log).isSymLink(), qPrintable(log));
    QCOMPARE(readFile(logs + "install.log"), QByteArray("install.sh ran\n"));
    QVERIFY(readFile(logs + "log.txt").contains("install.sh: код завершения 0\n"));
}

QTEST_GUILESS_MAIN(TestInstallerScripts)
#include "tst_installerscripts.moc"
