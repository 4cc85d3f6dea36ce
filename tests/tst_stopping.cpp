// Stopping a run stops all of it, whatever it started and whether or not it takes SIGTERM; a
// container copy asks first, and its question is the window that takes the user's input.
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace WindowTest;

class TestStopping : public QObject
{
    Q_OBJECT

private slots:
    void stoppingARunStopsWhatItStarted_data();
    void stoppingARunStopsWhatItStarted();
    void cancellingACopyAsksFirst_data();
    void cancellingACopyAsksFirst();
};

namespace {

bool processRunning(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

} // namespace

void TestStopping::stoppingARunStopsWhatItStarted_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("ignoresTerm"); // only SIGKILL stops the run
    QTest::addColumn<QStringList>("shown");

    const QString asked = "Удалить контейнер \\\\.\\HDIMAGE\\a?\n";
    QTest::newRow("Отмена") << true << false << QStringList{asked};
    QTest::newRow("Отмена, SIGTERM ignored") << true << true << QStringList{asked};
    QTest::newRow("time-out") << false << false
                              << QStringList{asked, "Process operation timed out"};
}

void TestStopping::stoppingARunStopsWhatItStarted()
{
    QFETCH(bool, cancel);
    QFETCH(bool, ignoresTerm);
    QFETCH(QStringList, shown);
    WindowTestEnv env;
    ToolRunner::setWaitFactorForTests(cancel ? 0.1 : 0.01);
    auto w = env.startWindow();
    // A utility that leaves a child of its own behind and waits for it.
    env.csp.remove("csptest");
    const QString pids = env.home.path() + "/pids";
    QFile script(env.csp.dir() + "csptest");
    QVERIFY(script.open(QIODevice::WriteOnly));
    // Ignored signals stay ignored in the child as well.
    script.write("#!/bin/sh\n" + QByteArray(ignoresTerm ? "trap '' TERM\n" : "") +
                 "sleep 60 &\necho $$ $! >\"" + pids.toUtf8() + "\"\nwait\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    setComboItems(*w, "comboBox_seakeys", {"\\\\.\\HDIMAGE\\a", "none"});
    env.dialogs.buttons << QMessageBox::Yes;

    ProgressWatcher watcher{cancel ? ProgressWatcher::Press::Cancel
                                   : ProgressWatcher::Press::Nothing};
    QElapsedTimer clock;
    clock.start();
    click(*w, "pushButton_delkey");

    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(watcher.seen, cancel);
    QCOMPARE(env.dialogs.messageTexts(), shown);
    QFile written(pids);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> both = written.readAll().trimmed().split(' ');
    QCOMPARE(both.size(), 2);
    for (const QByteArray &pid : both)
        QVERIFY2(!processRunning(pid.toLongLong()), "a process of the run was left behind");
}

void TestStopping::cancellingACopyAsksFirst_data()
{
    QTest::addColumn<bool>("stop"); // Да, else Нет
    QTest::addColumn<QStringList>("texts");

    const QString question = "Копирование контейнера не завершено. Прервать его?";
    QTest::newRow("Нет: it goes on") << false << QStringList{question, "скопирован\n"};
    QTest::newRow("Да: it is stopped") << true << QStringList{question};
}

// With the real message boxes and the real progress window: the question must be the window
// that takes the user's keys, however long it stays open.
void TestStopping::cancellingACopyAsksFirst()
{
    QFETCH(bool, stop);
    QFETCH(QStringList, texts);
    WindowTestEnv env;
    QVERIFY(QDir(env.home.path()).mkdir("screepts"));
    QVERIFY(QFile::link(VELMORA_SOURCE_DIR "/screepts/copykey.sh",
                        env.home.path() + "/screepts/copykey.sh"));
    env.csp.on("csptest", {"-keyset", "-enum_cont", "-fqcn", "-verifyc"}, "\\\\.\\HDIMAGE\\a\n");
    env.csp.on("csptest", {"-enum", "-info", "-type", "PP_ENUMREADERS"}, " 0x00000000    FLASH\n");
    auto w = env.startWindow();
    w->show();
    ToolRunner::setWaitFactorForTests(0.1); // the progress window comes after 500 ms
    StandInRule slow;
    slow.tool = "csptest";
    slow.anyArgs = true;
    slow.output = "скопирован\n";
    slow.delayMs = 22000; // 2.2 s
    env.csp.addRule(slow);
    env.dialogs.realMessages = true;

    const QString questionText = texts.first();
    QElapsedTimer open;
    bool covered = false, progressWhileAsked = false, progressAfterNo = false, answered = false;
    QTimer look;
    connect(&look, &QTimer::timeout, [&] {
        auto *active = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QMessageBox *question = nullptr;
        for (QWidget *t : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(t);
            if (box && box->isVisible() && box->text() == questionText)
                question = box;
        }
        if (question) {
            if (!open.isValid()) {
                open.start();
                ToolRunner::cancel(); // an Отмена that still reaches the runner: not asked again
            }
            progressWhileAsked |= ProgressWatcher::find() != nullptr;
            if (active != question) { // under another window: only a click of ours ends it
                covered = true;
                question->button(stop ? QMessageBox::Yes : QMessageBox::No)->click();
            } else if (!answered && open.elapsed() > 1100) { // past the one-second tick
                // Да by the keyboard on its button, Нет as the default button takes Return.
                if (stop)
                    QTest::keyClick(question->button(QMessageBox::Yes), Qt::Key_Space);
                else
                    QTest::keyClick(question, Qt::Key_Return);
                answered = true;
            }
        } else if (active) {
            QTest::keyClick(active, Qt::Key_Return); // the copy's own box
        } else if (answered && ProgressWatcher::find()) {
            progressAfterNo = true;
        }
    });
    look.start(50);
    ProgressWatcher watcher{ProgressWatcher::Press::Cancel};
    click(*w, "pushButton_copykey");

    QVERIFY(watcher.seen);
    QVERIFY(!covered);
    QVERIFY(!progressWhileAsked);
    QVERIFY(answered);
    QCOMPARE(progressAfterNo, !stop);
    QCOMPARE(env.dialogs.messageTexts(), texts);
    const MessageSpec &asked = env.dialogs.shown.first().message;
    QCOMPARE(asked.parent, w.get());
    QCOMPARE(asked.defaultButton, QMessageBox::No);
    QCOMPARE(env.csp.calls().first().finished, !stop);
}

QTEST_MAIN(TestStopping)
#include "tst_stopping.moc"
