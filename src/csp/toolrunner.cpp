#include "csp/toolrunner.h"

#include "csp/outputtext.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QVariant>

#include <climits>
#include <memory>

namespace {

struct Settings
{
    std::function<void(bool)> busyHook;
    double waitFactor = 1.0;
};

Settings &settings()
{
    static Settings s;
    return s;
}

const char finishBeforeQuitProperty[] = "velmoraFinishBeforeQuit";

int scaled(int ms)
{
    return qMax(0, int(ms * settings().waitFactor));
}

// Tells the GUI that the program is busy for as long as it lives, on every path out.
class Busy
{
public:
    Busy() { set(true); }
    ~Busy() { set(false); }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

    static void set(bool busy)
    {
        if (settings().busyHook)
            settings().busyHook(busy);
    }
};

// Runs a local event loop until the process is no longer running, `done` returns true, or
// waitMs have passed; returns false only in the last case. The loop holds back user input
// (mouse, keys, close requests), so no other slot of the program runs meanwhile, while
// painting, timers and the window manager's messages are handled.
// A process that was left going may be deleted inside the loop once it has finished; that counts
// as ended.
bool waitUntil(QProcess &process, int waitMs, const std::function<bool()> &done)
{
    const QPointer<QProcess> alive(&process);
    const QDeadlineTimer deadline(waitMs);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::stateChanged, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    for (;;) {
        if (!alive || process.state() == QProcess::NotRunning || (done && done()))
            return true;
        if (deadline.hasExpired())
            return false;
        timer.start(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
}

// After a wait that ran out: true when the process ended all the same. Otherwise the process
// carries QProcess's own time-out error ("Process operation timed out").
bool endedAfterAll(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return true;
    return process.waitForFinished(0);
}

void writeWhileRunning(QProcess &process, const QByteArray &bytes)
{
    if (process.state() == QProcess::Running)
        process.write(bytes);
}

} // namespace

QStringList ToolRunner::splitCommand(const QString &command)
{
    return QProcess::splitCommand(command);
}

ToolResult ToolRunner::runCommand(const QString &command, const ToolOptions &options)
{
    QStringList arguments = splitCommand(command);
    const QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
    return run(program, arguments, options);
}

ToolResult ToolRunner::run(const QString &program, const QStringList &arguments,
                           const ToolOptions &options)
{
    Busy busy;
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);

    QByteArray output;
    const auto collect = [&] {
        output += process->readAll();
        return false;
    };

    if (!options.answers.isEmpty()) {
        waitUntil(*process, scaled(options.firstOutputWaitMs), [&] {
            collect();
            return !output.isEmpty();
        });
        if (!output.isEmpty()) {
            for (const QByteArray &answer : options.answers)
                writeWhileRunning(*process, answer);
        }
    }

    bool ended = false;
    if (options.onPrompt && !options.prompt.isEmpty()) {
        bool asked = false;
        ended = waitUntil(*process, scaled(options.finishWaitMs), [&] {
            collect();
            asked = OutputText::decode(output).contains(options.prompt);
            return asked;
        });
        if (asked && process->state() != QProcess::NotRunning) {
            // The user may take a while to answer; the wait for the end starts afresh after.
            Busy::set(false);
            const QByteArray answer = options.onPrompt(OutputText::decode(output));
            Busy::set(true);
            writeWhileRunning(*process, answer);
            ended = waitUntil(*process, scaled(options.finishWaitMs), collect);
        }
    } else {
        ended = waitUntil(*process, scaled(options.finishWaitMs), collect);
    }
    if (!ended)
        ended = endedAfterAll(*process);

    ToolResult result;
    const bool started = process->error() != QProcess::FailedToStart;
    result.outcome = !started ? ToolResult::Outcome::FailedToStart
                     : ended  ? ToolResult::Outcome::Ended
                              : ToolResult::Outcome::TimedOut;
    if (result.ended()) {
        output += process->readAll();
        result.output = OutputText::decode(output);
        result.exitCode = process->exitCode();
        return result;
    }

    // Taken before the process is stopped: stopping it replaces the text.
    result.errorText = process->errorString();
    if (options.leaveRunning && process->state() != QProcess::NotRunning) {
        QProcess *running = process.release();
        running->setParent(options.keepAliveOwner);
        running->setProperty(finishBeforeQuitProperty, options.finishBeforeQuit);
        QObject::connect(running, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         running, &QObject::deleteLater);
        return result;
    }
    process->close();
    return result;
}

bool ToolRunner::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool ToolRunner::waitForEnd(QProcess *process, int waitMs)
{
    Busy busy;
    return waitUntil(*process, scaled(waitMs), {});
}

bool ToolRunner::mustFinishBeforeQuit(const QProcess *process)
{
    return process->property(finishBeforeQuitProperty).toBool() &&
           process->state() != QProcess::NotRunning;
}

void ToolRunner::setCspBinDir(const QString &directory)
{
    // Through the program's own environment, which every child inherits: a process given an
    // environment of its own is started with execve, and its start-up errors would no longer
    // read "execvp: ..." as the user knows them.
    qputenv("VELMORA_CSP_BIN_DIR", QFile::encodeName(directory));
}

void ToolRunner::setBusyHook(std::function<void(bool)> hook)
{
    settings().busyHook = std::move(hook);
}

void ToolRunner::setWaitFactorForTests(double factor)
{
    settings().waitFactor = factor;
}

double ToolRunner::waitFactorForTests()
{
    return settings().waitFactor;
}
