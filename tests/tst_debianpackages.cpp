// tools/debian-packages.sh, the one step of tools/dev.sh that needs root: who runs apt-get, and
// that apt-get still sees DEBIAN_FRONTEND after sudo or su has cleared the environment.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestDebianPackages : public QObject
{
    Q_OBJECT

private slots:
    void installsWhatIsMissing_data();
    void installsWhatIsMissing();
};

namespace {

bool writeScript(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + text);
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

} // namespace

void TestDebianPackages::installsWhatIsMissing_data()
{
    QTest::addColumn<int>("uid");
    QTest::addColumn<bool>("sudoInstalled");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("standardError");

    const QStringList wanted{"cmake", "xterm", "lintian"};
    const QString install =
        QStringLiteral("apt-get update && env DEBIAN_FRONTEND=noninteractive apt-get install -y "
                       "--no-install-recommends xterm lintian");
    const QStringList apt{"apt-get update DEBIAN_FRONTEND=",
                          "apt-get install -y --no-install-recommends xterm lintian "
                          "DEBIAN_FRONTEND=noninteractive"};
    const QString installing =
        QStringLiteral("Installing the missing Debian packages: xterm lintian\n");

    QTest::newRow("root runs apt-get itself")
        << 0 << true << QStringList{"cmake"} << apt << installing;
    QTest::newRow("a user goes through sudo")
        << 1000 << true << QStringList{"cmake"} << QStringList{"sudo sh -c " + install} + apt
        << installing;
    QTest::newRow("a user without sudo goes through su")
        << 1000 << false << QStringList{"cmake"}
        << QStringList{"su --login root -c " + install} + apt
        << installing + "sudo is not installed: su asks for root's password.\n";
    QTest::newRow("nothing missing asks for nothing")
        << 1000 << false << wanted << QStringList() << QString();
}

void TestDebianPackages::installsWhatIsMissing()
{
    QFETCH(int, uid);
    QFETCH(bool, sudoInstalled);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, log);
    QFETCH(QString, standardError);

    // A PATH of stand-ins and the few real tools the script needs, so the machine's own sudo,
    // su and apt-get are out of reach.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString logFile = dir.filePath(QStringLiteral("log"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bin")));
    for (const char *tool : {"/bin/sh", "/usr/bin/env", "/bin/grep"})
        QVERIFY(QFile::link(QString::fromLatin1(tool),
                            bin + '/' + QFileInfo(QString::fromLatin1(tool)).fileName()));
    const QByteArray logTo = " >> '" + logFile.toUtf8() + "'\n";
    QVERIFY(writeScript(bin + "/id", "echo " + QByteArray::number(uid) + '\n'));
    QVERIFY(writeScript(bin + "/dpkg-query",
                        "case \" " + installed.join(' ').toUtf8() +
                            " \" in *\" $3 \"*) echo 'install ok installed' ;; esac\n"));
    QVERIFY(writeScript(bin + "/apt-get",
                        "echo \"apt-get $* DEBIAN_FRONTEND=$DEBIAN_FRONTEND\"" + logTo));
    // Both clear the environment, as the real ones do, before running the command as root.
    QVERIFY(writeScript(bin + "/su",
                        "echo \"su $*\"" + logTo + "exec env -i PATH=\"$PATH\" sh -c \"$4\"\n"));
    if (sudoInstalled)
        QVERIFY(writeScript(bin + "/sudo",
                            "echo \"sudo $*\"" + logTo + "exec env -i PATH=\"$PATH\" \"$@\"\n"));

    QProcess script;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), bin);
    script.setProcessEnvironment(environment);
    script.start(QStringLiteral("/bin/bash"),
                 {QStringLiteral(VELMORA_SOURCE_DIR "/tools/debian-packages.sh"),
                  QStringLiteral("cmake"), QStringLiteral("xterm"), QStringLiteral("lintian")});
    QVERIFY(script.waitForFinished(10000));
    QCOMPARE(QString::fromUtf8(script.readAllStandardError()), standardError);
    QCOMPARE(script.exitCode(), 0);

    QFile written(logFile);
    QStringList lines;
    if (written.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(written.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, log);
}

QTEST_GUILESS_MAIN(TestDebianPackages)
#include "tst_debianpackages.moc"
