// While a utility runs, the window keeps painting and timers keep firing, but the user's input
// waits until the run is over; the run's result is the same as that of a blocking wait.
#include "csp/toolrunner.h"
#include "support/windowtestenv.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

class TestWaiting : public QObject
{
    Q_OBJECT

private slots:
    void inputWaitsForTheRun_data();
    void inputWaitsForTheRun();
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

void TestWaiting::inputWaitsForTheRun_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("endedInTime");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("errorText");

    // Waits of 30 s, shortened like every window test's.
    QTest::newRow("ends in time") << 10000 << true << "Сертификат установлен\n"
                                  << "";
    QTest::newRow("times out") << 60000 << false << ""
                               << "Process operation timed out";
}

void TestWaiting::inputWaitsForTheRun()
{
    QFETCH(int, delayMs);
    QFETCH(bool, endedInTime);
    QFETCH(QString, output);
    QFETCH(QString, errorText);
    WindowTestEnv env;
    StandInRule slow;
    slow.tool = "certmgr";
    slow.anyArgs = true;
    slow.delayMs = delayMs;
    slow.output = "Сертификат установлен\n";
    slow.exitCode = 4;
    env.csp.addRule(slow);

    QWidget window;
    window.resize(200, 100);
    QPushButton button("Установить", &window);
    int clicks = 0;
    connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    PaintCounter counter;
    button.installEventFilter(&counter);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();

    int paintsBefore = -1;
    bool timerFired = false;
    QTimer::singleShot(50, [&] {
        timerFired = true;
        paintsBefore = counter.paints;
        button.update();
        queueWindowSystemClick(button);
    });
    const ToolResult result = ToolRunner::run(env.csp.dir() + "certmgr", {"-inst"});

    QVERIFY(timerFired);
    QVERIFY2(counter.paints > paintsBefore, "the window was not painted during the wait");
    QCOMPARE(clicks, 0);
    QCOMPARE(result.ended(), endedInTime);
    QCOMPARE(result.output, output);
    QCOMPARE(result.errorText, errorText);
    QCOMPARE(result.exitCode, endedInTime ? 4 : -1);
    // The click was held, not lost: it arrives once the slot that waited has returned.
    QTRY_COMPARE(clicks, 1);
}

QTEST_MAIN(TestWaiting)
#include "tst_waiting.moc"
