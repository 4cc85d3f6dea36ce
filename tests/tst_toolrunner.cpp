#include "csp/csperrors.h"
#include "csp/toolrunner.h"
#include "installer/csplicense.h"
#include "support/standin.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <QTimer>

class TestToolRunner : public QObject
{
    Q_OBJECT

private slots:
    void splitsCommandTexts_data();
    void splitsCommandTexts();
    void reportsAProgramThatCannotStart_data();
    void reportsAProgramThatCannotStart();
    void mergesOutputAndKeepsExitCode();
    void decodesWindows1251WhenNotUtf8();
    void processThatPrintsNothingEndedInTime();
    void timeOutGivesErrorTextAndStopsTheProcess();
    void runLeftGoingOnFinishesLater();
    void answersAfterFirstOutput();
    void noAnswerWithoutOutput();
    void runsSeveralTogether_data();
    void runsSeveralTogether();
    void explainsTheVerdict_data();
    void explainsTheVerdict();
};

void TestToolRunner::splitsCommandTexts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("plain") << "/opt/x/certmgr -list -store uMy"
                           << QStringList{"/opt/x/certmgr", "-list", "-store", "uMy"};
    QTest::newRow("blanks inside quotes")
        << "certmgr -inst -file \"/home/u/my file.cer\""
        << QStringList{"certmgr", "-inst", "-file", "/home/u/my file.cer"};
    QTest::newRow("backslashes kept") << "csptest -cont \"\\\\.\\HDIMAGE\\a b\""
                                      << QStringList{"csptest", "-cont", "\\\\.\\HDIMAGE\\a b"};
    QTest::newRow("two quotes give nothing") << "a \"\"" << QStringList{"a"};
    QTest::newRow("two quotes inside a word") << "a b\"\"c" << QStringList{"a", "bc"};
    QTest::newRow("three quotes give one") << "a \"\"\"x\"\"\"" << QStringList{"a", "\"x\""};
    QTest::newRow("three quotes keep blanks quoted")
        << "-dn \"O=\"\"\"A, B\"\"\"\"" << QStringList{"-dn", "O=\"A, B\""};
    QTest::newRow("single quotes are ordinary") << "a 'b c'" << QStringList{"a", "'b", "c'"};
    QTest::newRow("tabs and newlines split") << "a\tb\nc" << QStringList{"a", "b", "c"};
    QTest::newRow("repeated blanks") << "  a   b  " << QStringList{"a", "b"};
}

void TestToolRunner::splitsCommandTexts()
{
    QFETCH(QString, command);
    QFETCH(QStringList, arguments);
    QCOMPARE(ToolRunner::splitCommand(command), arguments);
}

void TestToolRunner::reportsAProgramThatCannotStart_data()
{
    QTest::addColumn<bool>("asCommand");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("error");
    QTest::newRow("missing, command") << true << true << "execvp: No such file or directory";
    QTest::newRow("missing, list") << false << true << "execvp: No such file or directory";
    QTest::newRow("not executable") << false << false << "execvp: Permission denied";
}

void TestToolRunner::reportsAProgramThatCannotStart()
{
    QFETCH(bool, asCommand);
    QFETCH(bool, executable);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QString program = dir.filePath("does not exist");
    if (!executable) {
        program = dir.filePath("plain");
        QFile f(program);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho hi\n");
    }
    const ToolResult r = asCommand ? ToolRunner::runCommand("\"" + program + "\" -x")
                                   : ToolRunner::run(program, {"-x"});
    QVERIFY(!r.ended());
    QCOMPARE(r.errorText, error);
    QCOMPARE(r.shownText(), error);
    QVERIFY(r.output.isEmpty());
}

void TestToolRunner::mergesOutputAndKeepsExitCode()
{
    const ToolResult r = ToolRunner::run("/bin/sh", {"-c", "echo вывод; echo ошибка >&2; exit 3"});
    QVERIFY(r.ended());
    QCOMPARE(r.output, QString("вывод\nошибка\n"));
    QCOMPARE(r.exitCode, 3);
    QVERIFY(r.errorText.isEmpty());
}

void TestToolRunner::decodesWindows1251WhenNotUtf8()
{
    // "SN=Иванов" as older CSP builds print it.
    const ToolResult r =
        ToolRunner::run("/bin/sh", {"-c", "printf 'SN=\\310\\342\\340\\355\\356\\342'"});
    QVERIFY(r.ended());
    QCOMPARE(r.output, QString("SN=Иванов"));
}

void TestToolRunner::processThatPrintsNothingEndedInTime()
{
    // With answers, the wait for first output fails; the run still ended in time.
    ToolOptions options;
    options.answers = {"Y"};
    options.firstOutputWaitMs = 2000;
    const ToolResult r = ToolRunner::run("/bin/true", QStringList(), options);
    QVERIFY(r.ended());
    QCOMPARE(r.output, QString());
    QCOMPARE(r.exitCode, 0);
}

void TestToolRunner::timeOutGivesErrorTextAndStopsTheProcess()
{
    QTemporaryDir dir;
    const QString marker = dir.filePath("marker");
    ToolOptions options;
    options.finishWaitMs = 300;
    QElapsedTimer timer;
    timer.start();
    const ToolResult r =
        ToolRunner::run("/bin/sh", {"-c", "echo started; sleep 1; touch \"$0\"", marker}, options);
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(!r.ended());
    QCOMPARE(r.errorText, QString("Process operation timed out"));
    QThread::msleep(1500);
    QVERIFY2(!QFile::exists(marker), "the late process was not stopped");
}

void TestToolRunner::runLeftGoingOnFinishesLater()
{
    QTemporaryDir dir;
    const QString marker = dir.filePath("marker");
    QObject owner;
    ToolOptions options;
    options.finishWaitMs = 200;
    options.leaveRunning = true;
    options.keepAliveOwner = &owner;
    const ToolResult r =
        ToolRunner::run("/bin/sh", {"-c", "sleep 1; touch \"$0\"", marker}, options);
    QVERIFY(!r.ended());
    QCOMPARE(r.errorText, QString("Process operation timed out"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    // Once finished, the process object is released by its owner's event loop.
    QTRY_VERIFY_WITH_TIMEOUT(owner.children().isEmpty(), 5000);
}

void TestToolRunner::answersAfterFirstOutput()
{
    CspStandIn csp;
    QVERIFY(csp.isValid());
    StandInRule rule;
    rule.tool = "cryptcp";
    rule.args = QStringList{"-verify", "f.sig"};
    rule.output = "Продолжить? (Y/N) ";
    rule.stdinBytes = 2;
    rule.after = "готово\n";
    csp.addRule(rule);
    ToolOptions options;
    options.answers = {"Y", "Y"};
    const ToolResult r = ToolRunner::runCommand(csp.dir() + "cryptcp -verify \"f.sig\"", options);
    QVERIFY(r.ended());
    QCOMPARE(r.output, QString("Продолжить? (Y/N) готово\n"));
    const QList<StandInCall> calls = csp.calls();
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].args, QStringList({"-verify", "f.sig"}));
    QCOMPARE(calls[0].stdinText, QString("YY"));
}

void TestToolRunner::noAnswerWithoutOutput()
{
    // Prints nothing for longer than the first-output wait: no answer is written, and the
    // process, which would echo what it read, ends on its own.
    ToolOptions options;
    options.answers = {"Y"};
    options.firstOutputWaitMs = 200;
    options.finishWaitMs = 5000;
    const ToolResult r = ToolRunner::run(
        "/bin/bash", {"-c", "sleep 0.6; if read -t 0.5 x; then echo got; else echo none; fi"},
        options);
    QVERIFY(r.ended());
    QCOMPARE(r.output, QString("none\n"));
}

void TestToolRunner::runsSeveralTogether_data()
{
    QTest::addColumn<QStringList>("scripts"); // sh -c, with $0 a marker file of its own
    QTest::addColumn<QList<int>>("waitsMs");
    QTest::addColumn<int>("cancelAtMs"); // -1: never
    QTest::addColumn<QStringList>("results");
    QTest::addColumn<int>("withinMs");

    QTest::newRow("side by side, each its own output and code")
        << QStringList{"sleep 0.25; echo a", "sleep 0.25; echo b; exit 3", "sleep 0.25; echo c"}
        << QList<int>{5000, 5000, 5000} << -1 << QStringList{"0 a\n", "3 b\n", "0 c\n"} << 600;
    QTest::newRow("each its own wait")
        << QStringList{"sleep 0.5; touch \"$0\"", "echo b", "sleep 0.3; echo c"}
        << QList<int>{150, 5000, 5000} << -1 << QStringList{"timed out", "0 b\n", "0 c\n"} << 1500;
    QTest::newRow("Отмена stops every one still going")
        << QStringList{"sleep 0.5; touch \"$0\"", "echo b", "sleep 0.5; touch \"$0\""}
        << QList<int>{5000, 5000, 5000} << 150 << QStringList{"cancelled", "0 b\n", "cancelled"}
        << 1500;
}

void TestToolRunner::runsSeveralTogether()
{
    QFETCH(QStringList, scripts);
    QFETCH(QList<int>, waitsMs);
    QFETCH(int, cancelAtMs);
    QFETCH(QStringList, results);
    QFETCH(int, withinMs);
    QTemporaryDir dir;
    QList<ToolJob> jobs;
    for (int i = 0; i < scripts.size(); ++i) {
        ToolJob job{"/bin/sh", {"-c", scripts[i], dir.filePath(QString::number(i))}, {}};
        job.options.finishWaitMs = waitsMs[i];
        jobs << job;
    }
    if (cancelAtMs >= 0)
        QTimer::singleShot(cancelAtMs, [] { ToolRunner::cancel(); });
    QElapsedTimer timer;
    timer.start();
    QStringList seen;
    for (const ToolResult &r : ToolRunner::runAll(jobs))
        seen << (r.ended()       ? QString::number(r.exitCode) + ' ' + r.output
                 : r.cancelled() ? "cancelled"
                                 : "timed out");
    QVERIFY2(timer.elapsed() < withinMs, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(seen, results);
    // What was stopped stays stopped: none of them lived to touch its marker.
    QTest::qWait(700 - int(timer.elapsed()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestToolRunner::explainsTheVerdict_data()
{
    // An exit code of -1: the program could not be started.
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("sentence");
    QTest::addColumn<QStringList>("lines");
    const QString notDone = "Не выполнено.";
    const QStringList badKeyset = {
        notDone,
        "Причина: контейнер закрытого ключа не найден: ключевой носитель не вставлен или выбран "
        "другой контейнер.",
        "Что сделать: вставьте носитель с этим контейнером или выберите другой контейнер.",
        "Код ошибки: 0x80090016"};

    QTest::newRow("success, its sentence")
        << "cryptcp" << 0 << "Signed message is created.\n[ErrorCode: 0x00000000]\n"
        << "Файл подписан." << QStringList{"Файл подписан."};
    QTest::newRow("success without a sentence") << "certmgr" << 0 << ""
                                                << "" << QStringList{"Готово."};
    QTest::newRow("labelled code") << "csptest" << 1 << "[ErrorCode: 0x80090016]\n"
                                   << "Готово." << badKeyset;
    QTest::newRow("code with exit code 0, upper case")
        << "csptest" << 0 << "Error number 0X80090016 (-2146893802).\n"
        << "Готово." << badKeyset;
    QTest::newRow("Error code: in small letters")
        << "cryptcp" << 22 << "error code: 0x8009200C\n"
        << "Файл расшифрован."
        << QStringList{notDone,
                       "Причина: нет сертификата с закрытым ключом, которым можно расшифровать "
                       "файл.",
                       "Что сделать: выберите сертификат того получателя, для которого файл "
                       "зашифрован, и вставьте носитель с его ключом.",
                       "Код ошибки: 0x8009200c"};
    QTest::newRow("unknown code; a thumbprint is none")
        << "cryptcp" << 3 << "Thumbprint 0x0123456789abcdef01234567\nErrorCode: 0x80fe0001"
        << "" << QStringList{notDone, "Код ошибки: 0x80fe0001"};
    QTest::newRow("no code") << "certmgr" << 2 << "Cannot open container\n"
                             << "" << QStringList{notDone, "Код завершения: 2"};
    QTest::newRow("no CSP") << "/nonexistent/bin/amd64/cryptcp" << -1 << ""
                            << ""
                            << QStringList{notDone,
                                           "КриптоПро CSP не найден: нет файла "
                                           "/nonexistent/bin/amd64/cryptcp. Установите КриптоПро "
                                           "CSP кнопкой «КриптоПро (amd64):»."};
    QTest::newRow("missing script") << "screepts/copykey.sh" << -1 << ""
                                    << "" << QStringList{notDone};
    QTest::newRow("licence expired")
        << "cpconfig" << 3
        << "Error code:3\nLicense validity:\nХХХХХ-ХХХХХ-ХХХХХ-ХХХХХ-ХХХХХ\nLicense is expired or "
           "not yet valid\n"
        << "licence" << QStringList{"Срок действия лицензии истёк или ещё не начался."};
    QTest::newRow("licence with days left")
        << "cpconfig" << 0 << "License validity:\nХХХХХ\nExpires: 87 day(s)\n"
        << "licence" << QStringList{"Лицензия действует.", "Осталось дней: 87"};
}

void TestToolRunner::explainsTheVerdict()
{
    QFETCH(QString, program);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(QString, sentence);
    QFETCH(QStringList, lines);
    ToolResult result;
    result.program = program;
    if (exitCode >= 0) {
        result.outcome = ToolResult::Outcome::Ended;
        result.exitCode = exitCode;
        result.output = output;
    } else {
        result.errorText = "execvp: No such file or directory";
    }
    const bool failed = lines.first() == "Не выполнено." || lines.first().startsWith("Срок");
    if (sentence == "licence") {
        QCOMPARE(CspLicense::informativeLines(result), lines);
        QCOMPARE(CspLicense::needsWarning(result), failed);
        return;
    }
    const CspErrors::BoxText box = CspErrors::boxText(result, sentence, "Файл сохранён: /tmp/x");
    QCOMPARE(box.informativeText, (lines + QStringList{"Файл сохранён: /tmp/x"}).join('\n'));
    QCOMPARE(box.warn, failed);
}

QTEST_MAIN(TestToolRunner)
#include "tst_toolrunner.moc"
