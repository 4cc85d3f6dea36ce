// While a utility runs, the window keeps painting, but the user's clicks and keys start nothing,
// then or later; a run that lasts shows the progress window, whose Отмена stops the run.
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "support/certlistings.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

using namespace WindowTest;

class TestWaiting : public QObject
{
    Q_OBJECT

private slots:
    void inputDuringARunIsDropped_data();
    void inputDuringARunIsDropped();
    void progressWindowShowsAndStopsTheRun_data();
    void progressWindowShowsAndStopsTheRun();
};

namespace {

// Counts the paint events of the object it is installed on.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A click as the window system delivers it: queued, not sent straight to the widget.
void queueWindowSystemClick(QWidget &widget)
{
    QWindow *window = widget.window()->windowHandle();
    const QPointF local = widget.mapTo(widget.window(), widget.rect().center());
    const QPointF global = widget.mapToGlobal(widget.rect().center());
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<QWindowSystemInterface::AsynchronousDelivery>(
        window, local, global, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease);
}

} // namespace

void TestWaiting::inputDuringARunIsDropped_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<QString>("shown");

    // Waits of 30 s, shortened like every window test's.
    QTest::newRow("ends in time") << 10000 << certmgrListing({});
    QTest::newRow("times out") << 60000 << "Process operation timed out";
}

void TestWaiting::inputDuringARunIsDropped()
{
    QFETCH(int, delayMs);
    QFETCH(QString, shown);
    WindowTestEnv env;
    StandInRule slow;
    slow.tool = "certmgr";
    slow.args = QStringList{"-list", "-store", "uRoot"};
    slow.delayMs = delayMs;
    slow.output = certmgrListing({});
    env.csp.addRule(slow);
    auto w = env.startWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    auto *keys = w->findChild<QPushButton *>("pushButton_keys");
    PaintCounter counter;
    keys->installEventFilter(&counter);

    int paintsBefore = -1;
    QTimer::singleShot(50, [&] {
        paintsBefore = counter.paints;
        keys->update();
        queueWindowSystemClick(*keys);
    });
    click(*w, "pushButton_sysser");
    QVERIFY2(counter.paints > paintsBefore, "the window was not painted during the wait");
    QTest::qWait(200);

    // Only the two listings ran: the click on "Найти доступные контейнеры" was dropped.
    QCOMPARE(env.csp.calls().size(), 2);
    for (const StandInCall &call : env.csp.calls())
        QCOMPARE(call.tool, QString("certmgr"));
    QCOMPARE(env.dialogs.messageTexts().size(), shown.startsWith("Process") ? 1 : 0);
}

void TestWaiting::progressWindowShowsAndStopsTheRun_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args"); // of the slow run; empty: any
    QTest::addColumn<int>("press");
    QTest::addColumn<QString>("label"); // empty: no progress window
    QTest::addColumn<QStringList>("shown");

    const int nothing = int(ProgressWatcher::Press::Nothing);
    const int cancel = int(ProgressWatcher::Press::Cancel);
    const int escape = int(ProgressWatcher::Press::Escape);
    const QStringList containers{"-keyset", "-enum_cont", "-fqcn", "-verifyc"};
    QTest::newRow("container listing, closes by itself")
        << "pushButton_keys"
        << "csptest" << containers << nothing << "Поиск контейнеров…" << QStringList();
    QTest::newRow("container listing, Escape")
        << "pushButton_keys"
        << "csptest" << containers << escape << "Поиск контейнеров…" << QStringList();
    QTest::newRow("certificate listing, Отмена")
        << "pushButton_sysser"
        << "certmgr" << QStringList{"-list", "-store", "uRoot"} << cancel
        << "Чтение списка сертификатов…" << QStringList();
    QTest::newRow("start-up: the table's listings and the container listing")
        << ""
        << "certmgr" << QStringList{"-list", "-store", "uRoot"} << nothing
        << "Чтение списков сертификатов и контейнеров…" << QStringList();
    QTest::newRow("signing, Отмена")
        << "pushButton_crypt"
        << "cryptcp" << QStringList() << cancel << "Подписание файла…" << QStringList();
    QTest::newRow("quick run: no window")
        << "pushButton_crypt"
        << "cryptcp" << QStringList() << nothing << "" << QStringList{"готово\n"};
}

void TestWaiting::progressWindowShowsAndStopsTheRun()
{
    QFETCH(QString, button);
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(int, press);
    QFETCH(QString, label);
    const int nothing = int(ProgressWatcher::Press::Nothing);
    QFETCH(QStringList, shown);
    WindowTestEnv env;
    // Waits of 30 s become 3 s here, so that a run can outlast the progress window's 500 ms.
    ToolRunner::setWaitFactorForTests(0.1);
    env.csp.on("certmgr", {"-list", "-store", "uMy"}, certmgrListing({ListedCert()}));
    const bool atStartUp = button.isEmpty();
    std::unique_ptr<MainWindow> w = atStartUp ? nullptr : env.startWindow();
    env.dialogs.files << env.home.path() + "/отчёт.pdf";
    StandInRule run;
    run.tool = tool;
    run.args = args;
    run.anyArgs = args.isEmpty();
    run.output = "готово\n";
    // A run that lasts ends after 1 s; one that is stopped would go on for 20 s.
    run.finalDelayMs = label.isEmpty() ? 0 : press == nothing ? 10000 : 200000;
    env.csp.addRule(run);

    ProgressWatcher watcher{ProgressWatcher::Press(press)};
    QElapsedTimer clock;
    clock.start();
    if (atStartUp) {
        w = env.startWindow();
    } else {
        w->findChild<QTableWidget *>("tableWidgetCert")->setCurrentCell(0, 0);
        click(*w, button.toLatin1());
    }

    QCOMPARE(watcher.seen, !label.isEmpty());
    if (watcher.seen) {
        QCOMPARE(watcher.firstLine(), label);
        QCOMPARE(watcher.title, QString("Velmora"));
        QCOMPARE(watcher.buttons, QString("Отмена"));
        QVERIFY(watcher.modal);
        QVERIFY(watcher.seenAtMs >= 450);
        // The main window was never shown: the progress window has no parent.
        QCOMPARE(watcher.parent, nullptr);
    }
    QVERIFY(clock.elapsed() < 3000);
    QCOMPARE(ProgressWatcher::find(), nullptr);
    QCOMPARE(env.dialogs.messageTexts(), shown);
}

QTEST_MAIN(TestWaiting)
#include "tst_waiting.moc"
