// Figures of the program against bare Qt doing the same work:
//   - the container list of 300 containers: the refresh (the listing parsed and the list
//     filled; the time spent waiting for the utilities not counted) against filling a bare
//     QComboBox in a shown window with the same items, in the same process;
//   - start-up, from starting a process to its window shown: the main window on instant
//     stand-in utilities against a bare QMainWindow plus the utility runs the window makes;
//   - resident memory after showing either window, each in a process of its own.
// Each time is the median of several runs after one for warming up.
//   velmora_bench                         prints every figure and ratio
//   velmora_bench --show bare|main [--memory]
//                                         (a child of its own) shows that window and ends,
//                                         printing its resident KiB when asked
#include "app/mainwindow.h"
#include "benchsupport.h"
#include "csp/toolrunner.h"
#include "support/scripteddialogs.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

using namespace BenchSupport;

namespace {

// The utilities print what the window's start-up asks of them.
void standInRules(CspStandIn &csp)
{
    csp.on(QStringLiteral("csptest"), containerArguments(), containerListing(3));
    csp.on(QStringLiteral("csptest"), readerArguments(), readerListing());
}

const int runs = 15;

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

QString verdict(double ratio, double target)
{
    return QStringLiteral("ratio %1 (target %2: %3)")
        .arg(QString::number(ratio, 'f', 2), QString::number(target, 'f', 1),
             ratio <= target ? QStringLiteral("met") : QStringLiteral("NOT met"));
}

// Time spent inside the tool runner, where the program waits for a utility: from the busy hook's
// call with true to its call with false.
class UtilityClock
{
public:
    UtilityClock()
    {
        ToolRunner::setBusyHook([this](bool busy) {
            if (busy)
                timer.start();
            else
                total += timer.nsecsElapsed() / 1e6;
        });
    }
    ~UtilityClock() { ToolRunner::setBusyHook({}); }
    double takeMs() { return std::exchange(total, 0.0); }

private:
    QElapsedTimer timer;
    double total = 0;
};

// The median time of `work` without the time spent waiting for utilities, and the median of that
// waiting.
QPair<double, double> programAndUtilityMs(const std::function<void()> &work)
{
    UtilityClock clock;
    std::vector<double> program, utilities;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double all = timer.nsecsElapsed() / 1e6;
        const double waiting = clock.takeMs();
        program.push_back(all - waiting);
        utilities.push_back(waiting);
    }
    std::sort(program.begin(), program.end());
    std::sort(utilities.begin(), utilities.end());
    return {program.at(runs / 2), utilities.at(runs / 2)};
}

// A shown main window holding only `widget`, as the form holds its lists and its table.
std::unique_ptr<QMainWindow> bareWindowWith(QWidget *widget)
{
    auto window = std::make_unique<QMainWindow>();
    window->setCentralWidget(widget);
    window->show();
    QApplication::processEvents();
    return window;
}

void containerList()
{
    const int count = 300;
    WindowTestEnv env;
    env.csp.on(QStringLiteral("csptest"), containerArguments(), containerListing(count));
    env.csp.on(QStringLiteral("csptest"), readerArguments(), readerListing());
    auto window = env.startWindow();
    window->show();
    QApplication::processEvents();
    auto *refresh = window->findChild<QPushButton *>(QStringLiteral("pushButton_keys"));
    refresh->click();
    const auto [program, utilities] = programAndUtilityMs([&] {
        refresh->click();
        QApplication::processEvents();
    });

    // The same items, already split, into a combo box that holds as many.
    QStringList items;
    for (int i = 0; i < count; ++i)
        items << QStringLiteral("\\\\.\\HDIMAGE\\container-%1").arg(i, 4, 10, QLatin1Char('0'));
    auto *bare = new QComboBox;
    bare->setMaxCount(count);
    const auto bareWindow = bareWindowWith(bare);
    const auto fill = [&] {
        bare->clear();
        bare->addItems(items);
        bare->addItem(QStringLiteral("none"));
        QApplication::processEvents();
    };
    fill();
    const double bareFill = medianMs(runs, fill);

    say(QStringLiteral("container list, %1 containers").arg(count));
    say(QStringLiteral("  refresh %1 (the two utility runs, %2, not counted)")
            .arg(ms(program), ms(utilities)));
    say(QStringLiteral("  bare QComboBox fill %1").arg(ms(bareFill)));
    say(QStringLiteral("  %1").arg(verdict(program / bareFill, 2.0)));
}

// The median wall time of a child that shows `which` window and ends.
double startUpMs(const QString &which)
{
    const QStringList args{QStringLiteral("--show"), which};
    ToolRunner::run(QCoreApplication::applicationFilePath(), args);
    return medianMs(runs, [&] { ToolRunner::run(QCoreApplication::applicationFilePath(), args); });
}

void startUp()
{
    // The children find the stand-in through the environment; HOME is the temporary one.
    WindowTestEnv env;
    standInRules(env.csp);
    qputenv("VELMORA_BENCH_CSP", env.csp.dir().toUtf8());
    const double bareMs = startUpMs(QStringLiteral("bare"));
    const double mainMs = startUpMs(QStringLiteral("main"));
    env.csp.clearCalls();
    ToolRunner::run(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--show"), QStringLiteral("main")});
    const QList<StandInCall> calls = env.csp.calls();
    const double utilities = medianMs(runs, [&] {
        for (const StandInCall &call : calls)
            ToolRunner::run(env.csp.dir() + call.tool, call.args);
    });

    say(QStringLiteral("start-up, from starting the process to the window shown and closed"));
    say(QStringLiteral("  main window %1; its %2 utility runs on their own %3")
            .arg(ms(mainMs))
            .arg(calls.size())
            .arg(ms(utilities)));
    say(QStringLiteral("  bare QMainWindow %1").arg(ms(bareMs)));
    say(QStringLiteral("  main window / (1.5 x bare + utility runs): %1")
            .arg(verdict(mainMs / (1.5 * bareMs + utilities), 1.0)));
}

qint64 memoryOf(const QString &which)
{
    const ToolResult child =
        ToolRunner::run(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--show"), which, QStringLiteral("--memory")});
    // The last line; Qt may have warned before it.
    return child.output.trimmed().split(QLatin1Char('\n')).constLast().toLongLong();
}

void memory()
{
    WindowTestEnv env;
    standInRules(env.csp);
    qputenv("VELMORA_BENCH_CSP", env.csp.dir().toUtf8());
    const qint64 bare = memoryOf(QStringLiteral("bare"));
    const qint64 main = memoryOf(QStringLiteral("main"));
    say(QStringLiteral("resident memory after showing the window, each in a process of its own"));
    say(QStringLiteral("  main window %1 KiB, bare QMainWindow %2 KiB").arg(main).arg(bare));
    say(QStringLiteral("  %1").arg(verdict(double(main) / double(bare), 1.3)));
}

// A child: shows one window, prints its resident memory when asked to, and ends.
int show(const QString &which, bool printMemory)
{
    ScriptedDialogs dialogs;
    std::unique_ptr<QMainWindow> window;
    if (which == QLatin1String("main"))
        window =
            std::make_unique<MainWindow>(nullptr, QString::fromUtf8(qgetenv("VELMORA_BENCH_CSP")));
    else
        window = std::make_unique<QMainWindow>();
    window->show();
    QApplication::processEvents();
    if (printMemory)
        say(QString::number(residentKb()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--show"))
        return show(args.at(2), args.contains(QLatin1String("--memory")));

    containerList();
    startUp();
    memory();
    return 0;
}
