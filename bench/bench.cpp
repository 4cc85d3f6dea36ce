// Figures of the program against bare Qt doing the same work:
//   - the certificate table of 10,000 certificates: the refresh (listing read, table filled; the
//     time spent waiting for certmgr not counted) against filling a bare QTableWidget in a
//     shown window with the same 70,000 cells, in the same process;
//   - the container list of 300 containers: the refresh (the listing parsed and the list
//     filled; the time spent waiting for the utilities not counted) against filling a bare
//     QComboBox in a shown window with the same items, in the same process;
//   - start-up, from starting a process to its window shown: the main window on instant
//     stand-in utilities against a bare QMainWindow plus the utility runs the window makes;
//   - resident memory after showing either window, each in a process of its own;
//   - start-up and the table refresh with utilities as slow as on a real machine: 300 ms for
//     each certmgr listing, 800 ms for the container listing, 400 ms for the reader listing.
// The bare window is also measured with one line of text, which loads the font system as any
// window with text does.
// Each time is the median of several runs after one for warming up; the program's work and the
// bare work it is compared with run by turns.
//   velmora_bench                         prints every figure and ratio
//   velmora_bench --show bare|text|main   (a child of its own) shows that window, prints its
//                                         resident KiB and its size, and ends
#include "app/mainwindow.h"
#include "benchsupport.h"
#include "certificates/certlisting.h"
#include "csp/toolrunner.h"
#include "support/scripteddialogs.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QSize>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

using namespace BenchSupport;

namespace {

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
        .arg(QString::number(ratio, 'f', 2), QString::number(target),
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

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

struct ByTurns
{
    double program = 0;   // the program's work, the time spent waiting for utilities not counted
    double utilities = 0; // that waiting
    double bare = 0;      // the bare Qt work
};

// Runs the program's work and the bare work by turns, so that a machine busy with something else
// slows both alike, and gives the median of each.
ByTurns byTurns(int runs, const std::function<void()> &work, const std::function<void()> &bareWork)
{
    UtilityClock clock;
    std::vector<double> program, utilities, bare;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        const double all = timer.nsecsElapsed() / 1e6;
        const double waiting = clock.takeMs();
        program.push_back(all - waiting);
        utilities.push_back(waiting);
        timer.restart();
        bareWork();
        bare.push_back(timer.nsecsElapsed() / 1e6);
    }
    return {median(program), median(utilities), median(bare)};
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
    const auto click = [&] {
        refresh->click();
        QApplication::processEvents();
    };

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
    click();
    fill();
    const ByTurns t = byTurns(runs, click, fill);

    say(QStringLiteral("container list, %1 containers").arg(count));
    say(QStringLiteral("  refresh %1 (the two utility runs, %2, not counted)")
            .arg(ms(t.program), ms(t.utilities)));
    say(QStringLiteral("  bare QComboBox fill %1").arg(ms(t.bare)));
    say(QStringLiteral("  ratio %1").arg(t.program / t.bare, 0, 'f', 2));
}

void certificateTable()
{
    const int count = 10000;
    const int tableRuns = 11;
    WindowTestEnv env;
    // The stand-in prints 6 MB of listing: on a busy machine that takes longer than the tests'
    // shortened wait, and the table would stay empty.
    ToolRunner::setWaitFactorForTests(1.0);
    env.csp.on(QStringLiteral("csptest"), containerArguments(), containerListing(3));
    env.csp.on(QStringLiteral("csptest"), readerArguments(), readerListing());
    const QString listing = certificateListing(count);
    env.csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uRoot")),
               certificateListing(0));
    env.csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uMy")), listing);
    auto window = env.startWindow();
    window->show();
    QApplication::processEvents();
    auto *refresh = window->findChild<QPushButton *>(QStringLiteral("pushButton_sysser"));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidgetCert"));
    const auto click = [&] {
        refresh->click();
        QApplication::processEvents();
    };
    QList<CertificateRecord> records;
    const double parse =
        medianMs(tableRuns, [&] { records = CertListing::parse(listing, QStringLiteral("uMy")); });

    // The same cells, already read, into a table with seven columns in a shown window.
    QVector<QStringList> cells;
    for (const CertificateRecord &r : records)
        cells << QStringList{r.thumbprint,
                             r.store,
                             r.owner,
                             r.issuer,
                             r.notBefore,
                             r.notAfter,
                             r.container.value_or(QString())};
    auto *bare = new QTableWidget(0, 7);
    const auto bareWindow = bareWindowWith(bare);
    const auto fill = [&] {
        bare->setRowCount(0);
        bare->setRowCount(cells.size());
        for (int row = 0; row < cells.size(); ++row)
            for (int column = 0; column < 7; ++column)
                bare->setItem(row, column, new QTableWidgetItem(cells[row][column]));
        QApplication::processEvents();
    };
    click();
    fill();
    const ByTurns t = byTurns(tableRuns, click, fill);
    const bool complete = table->rowCount() == count;
    table->sortByColumn(0, Qt::AscendingOrder);
    const double sorted = byTurns(tableRuns, click, [] {}).program;

    say(QStringLiteral("certificate table, %1 certificates (%2 characters of listing)%3")
            .arg(count)
            .arg(listing.size())
            .arg(complete ? QString() : QStringLiteral(" - THE TABLE IS NOT COMPLETE")));
    say(QStringLiteral("  refresh %1 (the two certmgr runs, %2, not counted); of it reading the "
                       "listing %3")
            .arg(ms(t.program), ms(t.utilities), ms(parse)));
    say(QStringLiteral("  the same once the user has sorted by thumbprint %1").arg(ms(sorted)));
    say(QStringLiteral("  bare QTableWidget fill of %1 cells %2").arg(count * 7).arg(ms(t.bare)));
    say(QStringLiteral("  %1").arg(verdict(t.program / t.bare, 2.0)));
}

// What a child that showed one window reports: its resident memory and the window's size.
struct Shown
{
    qint64 residentKb = -1;
    QSize size;
};

Shown showInChild(const QString &which)
{
    const ToolResult child =
        ToolRunner::run(QCoreApplication::applicationFilePath(), {QStringLiteral("--show"), which});
    // The last line; Qt may have said something before it.
    const QStringList figures =
        child.output.trimmed().split(QLatin1Char('\n')).constLast().split(QLatin1Char(' '));
    if (figures.size() != 3)
        return {};
    return {figures.at(0).toLongLong(), QSize(figures.at(1).toInt(), figures.at(2).toInt())};
}

// The bare window is given the main window's size, so that both paint as many pixels and keep
// backing stores of the same size.
struct ChildEnvironment
{
    ChildEnvironment()
    {
        csp.on(QStringLiteral("csptest"), containerArguments(), containerListing(3));
        csp.on(QStringLiteral("csptest"), readerArguments(), readerListing());
        csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uRoot")),
               certificateListing(2));
        csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uMy")),
               certificateListing(5));
        qputenv("VELMORA_BENCH_CSP", csp.dir().toUtf8());
        mainSize = showInChild(QStringLiteral("main")).size;
        qputenv("VELMORA_BENCH_SIZE",
                QByteArray::number(mainSize.width()) + ' ' + QByteArray::number(mainSize.height()));
    }
    WindowTestEnv env;
    CspStandIn &csp = env.csp;
    QSize mainSize;
};

void startUpAndMemory()
{
    ChildEnvironment children;
    const auto startUpMs = [](const QString &which) {
        return medianMs(runs, [&] { showInChild(which); });
    };
    const double bareMs = startUpMs(QStringLiteral("bare"));
    const double textMs = startUpMs(QStringLiteral("text"));
    const double mainMs = startUpMs(QStringLiteral("main"));
    children.csp.clearCalls();
    showInChild(QStringLiteral("main"));
    const QList<StandInCall> calls = children.csp.calls();
    const double utilities = medianMs(runs, [&] {
        for (const StandInCall &call : calls)
            ToolRunner::run(children.csp.dir() + call.tool, call.args);
    });

    say(QStringLiteral("start-up, from starting a process to its window shown (%1 x %2)")
            .arg(children.mainSize.width())
            .arg(children.mainSize.height()));
    say(QStringLiteral("  main window %1; its %2 utility runs on their own %3")
            .arg(ms(mainMs))
            .arg(calls.size())
            .arg(ms(utilities)));
    say(QStringLiteral("  bare QMainWindow %1; with one line of text %2")
            .arg(ms(bareMs), ms(textMs)));
    say(QStringLiteral("  main window / (1.5 x bare + utility runs): %1")
            .arg(verdict(mainMs / (1.5 * bareMs + utilities), 1.0)));
    say(QStringLiteral("  main window / (1.5 x bare with text + utility runs): %1")
            .arg(verdict(mainMs / (1.5 * textMs + utilities), 1.0)));

    const qint64 bareKb = showInChild(QStringLiteral("bare")).residentKb;
    const qint64 textKb = showInChild(QStringLiteral("text")).residentKb;
    const qint64 mainKb = showInChild(QStringLiteral("main")).residentKb;
    say(QStringLiteral("resident memory after showing the window, each in a process of its own"));
    say(QStringLiteral(
            "  main window %1 KiB, bare QMainWindow %2 KiB, with one line of text %3 KiB")
            .arg(mainKb)
            .arg(bareKb)
            .arg(textKb));
    say(QStringLiteral("  main / bare: %1").arg(verdict(double(mainKb) / double(bareKb), 1.3)));
    say(QStringLiteral("  main / bare with text: %1")
            .arg(verdict(double(mainKb) / double(textKb), 1.3)));
}

// The program runs the listings that do not depend on each other side by side: start-up waits
// for the longest of the first three and then the reader listing (1.2 s), the refresh for the
// longer of its two (300 ms), where one after another they would take 1.8 s and 600 ms.
void slowUtilities()
{
    const double certmgrMs = 300, containersMs = 800, readersMs = 400;
    WindowTestEnv env;
    // Real waits: the stand-in's delays are written as given.
    ToolRunner::setWaitFactorForTests(1.0);
    const auto slow = [&](const QString &tool, const QStringList &args, const QString &output,
                          double delayMs) {
        StandInRule rule;
        rule.tool = tool;
        rule.args = args;
        rule.output = output;
        rule.delayMs = int(delayMs);
        env.csp.addRule(rule);
    };
    slow(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uRoot")),
         certificateListing(2), certmgrMs);
    slow(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uMy")),
         certificateListing(5), certmgrMs);
    slow(QStringLiteral("csptest"), containerArguments(), containerListing(3), containersMs);
    slow(QStringLiteral("csptest"), readerArguments(), readerListing(), readersMs);
    qputenv("VELMORA_BENCH_CSP", env.csp.dir().toUtf8());

    const int slowRuns = 5;
    const double bareMs = medianMs(slowRuns, [] { showInChild(QStringLiteral("bare")); });
    const double mainMs = medianMs(slowRuns, [] { showInChild(QStringLiteral("main")); });
    const double startUpUtilities = containersMs + readersMs;
    say(QStringLiteral("slow utilities: certmgr listings %1 each, container listing %2, reader "
                       "listing %3 (%4 one after another)")
            .arg(ms(certmgrMs), ms(containersMs), ms(readersMs),
                 ms(2 * certmgrMs + containersMs + readersMs)));
    say(QStringLiteral("  start-up %1, bare QMainWindow %2").arg(ms(mainMs), ms(bareMs)));
    say(QStringLiteral("  start-up / (bare + %1): %2")
            .arg(ms(startUpUtilities))
            .arg(verdict(mainMs / (bareMs + startUpUtilities), 1.15)));

    auto window = env.startWindow();
    window->show();
    QApplication::processEvents();
    auto *refresh = window->findChild<QPushButton *>(QStringLiteral("pushButton_sysser"));
    const ByTurns t = byTurns(
        slowRuns,
        [&] {
            refresh->click();
            QApplication::processEvents();
        },
        [] {});
    say(QStringLiteral("  table refresh %1, of it waiting for certmgr %2 and its own parse and "
                       "fill %3")
            .arg(ms(t.program + t.utilities), ms(t.utilities), ms(t.program)));
    say(QStringLiteral("  refresh / (%1 + parse and fill): %2")
            .arg(ms(certmgrMs))
            .arg(verdict((t.program + t.utilities) / (certmgrMs + t.program), 1.1)));
}

// A child: shows one window and prints its resident memory and the window's size.
int show(const QString &which)
{
    ScriptedDialogs dialogs;
    std::unique_ptr<QMainWindow> window;
    if (which == QLatin1String("main")) {
        window =
            std::make_unique<MainWindow>(nullptr, QString::fromUtf8(qgetenv("VELMORA_BENCH_CSP")));
    } else {
        window = std::make_unique<QMainWindow>();
        // A window with one line of text loads the font system, as every window with text does.
        if (which == QLatin1String("text"))
            window->setCentralWidget(new QLabel(QStringLiteral("Контейнеры:")));
        const QList<QByteArray> size = qgetenv("VELMORA_BENCH_SIZE").split(' ');
        if (size.size() == 2)
            window->resize(size.at(0).toInt(), size.at(1).toInt());
    }
    window->show();
    QApplication::processEvents();
    say(QStringLiteral("%1 %2 %3").arg(residentKb()).arg(window->width()).arg(window->height()));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--show"))
        return show(args.at(2));

    containerList();
    certificateTable();
    startUpAndMemory();
    slowUtilities();
    return 0;
}
