// The CSP button and the installer dialog: the reinstall question, unpacking the archives with
// screepts/createarch.sh, and starting the installation in a stand-in terminal.
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "installer/instalgui.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace WindowTest;

namespace {

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

int progress(const Instalgui &installer)
{
    return installer.findChild<QProgressBar *>("progressBar")->value();
}

bool enabled(const Instalgui &installer, const char *button)
{
    return installer.findChild<QPushButton *>(button)->isEnabled();
}

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body) > 0 &&
           file.setPermissions(file.permissions() | QFile::ExeOwner);
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

private:
    // Opens the installer from a main window without the CSP.
    Instalgui *openInstaller();

    std::unique_ptr<WindowTestEnv> env;
    std::unique_ptr<MainWindow> window;
    QTemporaryDir bin; // the stand-in terminal, and a directory with no terminal
    QByteArray oldPath;
};

void TestInstaller::init()
{
    env = std::make_unique<WindowTestEnv>();
    QVERIFY(env->csp.isValid());
    oldPath = qgetenv("PATH");
}

void TestInstaller::cleanup()
{
    qputenv("PATH", oldPath);
    qDeleteAll(installers());
    window.reset();
    env.reset();
}

Instalgui *TestInstaller::openInstaller()
{
    env->csp.remove("cryptcp");
    window = env->startWindow();
    click(*window, "pushButton_cryptopro");
    return installers().value(0);
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
    if (opened) {
        QVERIFY(installers().first()->isVisible());
        QCOMPARE(installers().first()->parentWidget(), nullptr);
    }
    QVERIFY(env->csp.calls().isEmpty());
}

void TestInstaller::eachPressOpensAFreshInstaller()
{
    Instalgui *first = openInstaller();
    QVERIFY(first);
    click(*first, "pushButton_scp"); // cancelled: the log area gets a line
    QVERIFY(!logText(*first).isEmpty());
    click(*first, "pushButton_2");
    QVERIFY(!first->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    click(*window, "pushButton_cryptopro");

    QCOMPARE(installers().size(), 1);
    Instalgui *second = installers().first();
    QVERIFY(second->isVisible());
    QCOMPARE(logText(*second), QString());
    QCOMPARE(progress(*second), 0);
    QVERIFY(enabled(*second, "pushButton_scp"));
}

void TestInstaller::unpacksTheChosenArchive_data()
{
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("member"); // the archive's one file; "" for none chosen
    QTest::addColumn<QString>("script"); // "real", "missing" or "slow"
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("progress");
    QTest::addColumn<bool>("scpEnabled");
    QTest::addColumn<bool>("cadesEnabled");

    const QString csp = "Выберите фаил архива КриптоПро CSP";
    const QString plugin = "Выберите фаил архива плагина";
    const auto unpacked = [](const QString &directory) {
        return "Архив {archive} распакован в {work}:\n  " + directory +
               "\n\nРаспаковка архива завершена\n";
    };

    QTest::newRow("Debian, CSP") << 0 << "pushButton_scp"
                                 << "linux-amd64_deb/install.sh"
                                 << "real" << csp << "linux-amd64_deb.tgz"
                                 << unpacked("linux-amd64_deb") << 2 << false << true;
    QTest::newRow("Ubuntu, CSP: the Debian archive")
        << 2 << "pushButton_scp"
        << "linux-amd64_deb/install.sh"
        << "real" << csp << "linux-amd64_deb.tgz" << unpacked("linux-amd64_deb") << 2 << false
        << true;
    QTest::newRow("SUSE, CSP") << 5 << "pushButton_scp"
                               << "linux-amd64/install.sh"
                               << "real" << csp << "linux-amd64.tgz" << unpacked("linux-amd64") << 2
                               << false << true;
    QTest::newRow("Alt Linux, plug-in")
        << 3 << "pushButton_cades"
        << "cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb"
        << "real" << plugin << "cades_linux_amd64.tar.gz" << unpacked("cades_linux_amd64") << 4
        << true << false;
    QTest::newRow("refused archive is no success")
        << 4 << "pushButton_scp"
        << "../escape"
        << "real" << csp << "linux-amd64.tgz"
        << "Архив содержит путь вне каталога распаковки: ../escape\n"
           "Архив не распакован: {archive}\n\nОшибка распаковки архива\n"
        << 0 << true << true;
    QTest::newRow("no file chosen") << 1 << "pushButton_scp"
                                    << ""
                                    << "real" << csp << "linux-amd64_deb.tgz"
                                    << "Фаил архива не выбран\n"
                                    << 0 << true << true;
    QTest::newRow("no script") << 0 << "pushButton_cades"
                               << "cades_linux_amd64/cprocsp-pki-cades-64_2.0.14892-1_amd64.deb"
                               << "missing" << plugin << "cades_linux_amd64.tar.gz"
                               << "execvp: No such file or directory" << 0 << true << true;
    QTest::newRow("script outlasts its wait") << 0 << "pushButton_scp"
                                              << "linux-amd64_deb/install.sh"
                                              << "slow" << csp << "linux-amd64_deb.tgz"
                                              << "Process operation timed out" << 0 << true << true;
}

void TestInstaller::unpacksTheChosenArchive()
{
    QFETCH(int, system);
    QFETCH(QString, button);
    QFETCH(QString, member);
    QFETCH(QString, script);
    QFETCH(QString, caption);
    QFETCH(QString, filter);
    QFETCH(QString, log);
    QFETCH(int, progress);
    QFETCH(bool, scpEnabled);
    QFETCH(bool, cadesEnabled);

    const QString home = env->home.path();
    QVERIFY(QDir(home).mkdir("screepts"));
    if (script == "real")
        QVERIFY(QFile::link(VELMORA_SOURCE_DIR "/screepts/createarch.sh",
                            home + "/screepts/createarch.sh"));
    if (script == "slow") {
        QVERIFY(writeScript(home + "/screepts/createarch.sh", "sleep 5\n"));
        ToolRunner::setWaitFactorForTests(0.002); // 50 s become 100 ms
    }
    const QString archive = home + "/Загрузки/" + filter;
    if (!member.isEmpty()) {
        const QString pack = home + "/Загрузки/pack/";
        QVERIFY(QDir().mkpath(QFileInfo(pack + member).path()));
        QVERIFY(writeScript(pack + member, "exit 0\n"));
        QProcess tar;
        tar.setWorkingDirectory(pack);
        tar.start("tar", {"-czPf", archive, member});
        QVERIFY(tar.waitForFinished() && tar.exitCode() == 0);
        env->dialogs.files.enqueue(archive);
    }
    Instalgui *installer = openInstaller();
    QVERIFY(installer);
    installer->findChild<QComboBox *>("comboBox_OS")->setCurrentIndex(system);

    click(*installer, button.toLatin1());

    QCOMPARE(env->dialogs.shown.size(), 1);
    const FileDialogSpec &asked = env->dialogs.shown.first().file;
    QCOMPARE(asked.parent, installer);
    QCOMPARE(asked.caption, caption);
    QCOMPARE(asked.directory, home);
    QCOMPARE(asked.filter, filter);
    QCOMPARE(asked.options, QFileDialog::Options());
    QCOMPARE(logText(*installer),
             QString(log).replace("{archive}", archive).replace("{work}", home + "/buildcpcsp/"));
    QCOMPARE(::progress(*installer), progress);
    QCOMPARE(enabled(*installer, "pushButton_scp"), scpEnabled);
    QCOMPARE(enabled(*installer, "pushButton_cades"), cadesEnabled);
}

void TestInstaller::installRunsTheScriptInATerminal_data()
{
    QTest::addColumn<int>("system");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("log");

    const auto args = [](const char *script, const char *directory) {
        return QStringList{"-e", script, QString("{work}") + directory};
    };
    QTest::newRow("Debian") << 0 << true << args("screepts/debian.sh", "linux-amd64_deb/") << "";
    QTest::newRow("Astra") << 1 << true << args("screepts/astra.sh", "linux-amd64_deb/") << "";
    QTest::newRow("Ubuntu") << 2 << true << args("screepts/ubuntu.sh", "linux-amd64_deb/") << "";
    QTest::newRow("Alt Linux") << 3 << true << args("screepts/altlinux.sh", "linux-amd64/") << "";
    QTest::newRow("RPM") << 4 << true << args("screepts/rpmbase.sh", "linux-amd64/") << "";
    QTest::newRow("SUSE: the work directory itself")
        << 5 << true << args("screepts/suse.sh", "") << "";
    QTest::newRow("no terminal") << 0 << false << QStringList() << "ERROR";
}

void TestInstaller::installRunsTheScriptInATerminal()
{
    QFETCH(int, system);
    QFETCH(bool, terminal);
    QFETCH(QStringList, arguments);
    QFETCH(QString, log);

    // The stand-in terminal notes its arguments, one a line.
    QVERIFY(bin.isValid());
    const QString dir = bin.filePath(terminal ? "with" : "without");
    QVERIFY(QDir().mkpath(dir));
    const QString noted = dir + "/xterm.args";
    QFile::remove(noted);
    if (terminal)
        QVERIFY(writeScript(dir + "/xterm", "printf '%s\\n' \"$@\" > \"$0.args\"\n"));
    qputenv("PATH", QFile::encodeName(dir));
    Instalgui *installer = openInstaller();
    QVERIFY(installer);
    installer->findChild<QComboBox *>("comboBox_OS")->setCurrentIndex(system);

    click(*installer, "pushButton");

    QCOMPARE(logText(*installer), log);
    if (terminal) {
        QTRY_VERIFY(QFile::exists(noted));
        QFile file(noted);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTRY_VERIFY(file.size() > 0);
        const QString work = env->home.path() + "/buildcpcsp/";
        QCOMPARE(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts),
                 arguments.replaceInStrings("{work}", work));
    }
    QCOMPARE(progress(*installer), 0);
}

QTEST_MAIN(TestInstaller)
#include "tst_installer.moc"
