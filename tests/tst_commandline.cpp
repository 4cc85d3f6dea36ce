// The program's command line as a user meets it in a terminal: velmora --help and --version
// answer without a display, a wrong option is refused before any window opens.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answersInTheTerminal_data();
    void answersInTheTerminal();
};

void TestCommandLine::answersInTheTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("display");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("standardOutput");
    QTest::addColumn<QString>("standardError");

    const QString help = QStringLiteral(
        "Использование: velmora [параметры]\n"
        "\n"
        "Velmora — графическая оболочка для утилит КриптоПро CSP (csptest, certmgr, cryptcp):\n"
        "запросы на сертификаты, ключевые контейнеры, сертификаты, подпись и шифрование\n"
        "файлов, документы к запросу и установка КриптоПро CSP.\n"
        "\n"
        "Параметры:\n"
        "  -h, --help     Показать эту справку и выйти.\n"
        "  -v, --version  Показать версию программы и выйти.\n");
    const QString version = QStringLiteral("velmora " VELMORA_EXPECTED_VERSION "\n");
    const QString seeHelp = QStringLiteral("Справка: velmora --help\n");

    // Without a display: QApplication would abort, so these must be answered before it.
    QTest::newRow("--help") << QStringList{"--help"} << false << 0 << help << QString();
    QTest::newRow("-h") << QStringList{"-h"} << false << 0 << help << QString();
    QTest::newRow("--version") << QStringList{"--version"} << false << 0 << version << QString();
    QTest::newRow("-v") << QStringList{"-v"} << false << 0 << version << QString();
    QTest::newRow("help wins over a wrong option")
        << QStringList{"--bogus", "--help"} << false << 0 << help << QString();
    QTest::newRow("version after Qt's own options")
        << QStringList{"-platform", "offscreen", "-style", "fusion", "--version"} << false << 0
        << version << QString();

    QTest::newRow("unknown long option") << QStringList{"--bogus"} << true << 2 << QString()
                                         << "velmora: неизвестный параметр «--bogus»\n" + seeHelp;
    QTest::newRow("unknown short option") << QStringList{"-x"} << true << 2 << QString()
                                          << "velmora: неизвестный параметр «-x»\n" + seeHelp;
    QTest::newRow("a file name") << QStringList{"заявка.odt"} << true << 2 << QString()
                                 << "velmora: лишний аргумент «заявка.odt»\n" + seeHelp;
    QTest::newRow("value given to --version")
        << QStringList{"--version=2"} << true << 0 << version << QString();
}

void TestCommandLine::answersInTheTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QString, standardOutput);
    QFETCH(QString, standardError);

    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Keeps Qt's note about a missing runtime directory out of standard error.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("HOME"), runtime.path());

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELMORA_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(QString::fromUtf8(program.readAllStandardError()), standardError);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), standardOutput);
    QCOMPARE(program.exitCode(), exitCode);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
