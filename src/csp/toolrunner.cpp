#include "csp/toolrunner.h"

#include "csp/outputtext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <climits>
#include <memory>
#include <vector>

#include <signal.h>
#include <unistd.h>

namespace {

struct Settings
{
    std::function<void(bool)> busyHook;
    std::function<void(ToolRunner::RunState, const QString &, qint64)> progressHook;
    double waitFactor = 1.0;
};

Settings &settings()
{
    static Settings s;
    return s;
}

constexpr int killGraceMs = 2000;

int scaled(int ms)
{
    if (ms < 0)
        return ms;
    return qMax(0, int(ms * settings().waitFactor));
}

// Every child leads a process group of its own, so that stopping it reaches whatever it
// started; one left going is stopped the same way when its owner goes away.
class GroupProcess : public QProcess
{
public:
    using QProcess::QProcess;
    ~GroupProcess() override
    {
        if (state() != NotRunning) {
            ::kill(-pid_t(processId()), SIGKILL);
            waitForFinished(killGraceMs);
        }
    }

protected:
    void setupChildProcess() override { ::setpgid(0, 0); }
};

// True while a process of the group is still running. Members that have ended but wait to be
// reaped do not count: where nobody reaps orphans, they would never go away.
bool groupAlive(pid_t group)
{
    if (::kill(-group, 0) != 0)
        return false;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool isPid = false;
        entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid pgrp ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toLongLong() == group && fields[0] != "Z")
            return true;
    }
    return false;
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

// The run being waited for, as the progress hook and Отмена see it. Runs do not nest, but a
// question asked during one may itself wait, so the previous watch is put back at the end.
class RunWatch
{
public:
    explicit RunWatch(const QString &label)
        : label(label)
        , previous(current)
    {
        current = this;
        elapsed.start();
        ticks.setSingleShot(true);
        QObject::connect(&ticks, &QTimer::timeout, [this] {
            report(ToolRunner::RunState::Going);
            ticks.start(1000);
        });
        resume();
    }
    ~RunWatch()
    {
        pause();
        current = previous;
    }
    RunWatch(const RunWatch &) = delete;
    RunWatch &operator=(const RunWatch &) = delete;

    // While the user answers a question of the utility's, there is nothing to show or stop.
    void pause()
    {
        if (!running)
            return;
        running = false;
        ticks.stop();
        report(ToolRunner::RunState::Ended);
    }
    void resume()
    {
        running = true;
        report(ToolRunner::RunState::Started);
        ticks.start(int(qMax<qint64>(0, ToolRunner::progressDelayMs - elapsed.elapsed())));
    }

    static RunWatch *current;
    bool cancelRequested = false;
    std::function<bool()> confirmCancel;
    QEventLoop *loop = nullptr;

    // True once the user asked to stop and, where the run asks first, said yes.
    bool cancelConfirmed()
    {
        if (!cancelRequested)
            return false;
        if (!confirmCancel) {
            cancelRequested = false;
            return true;
        }
        // The progress window stays away while the question is open: its tick would show it over
        // the question, which would then take neither clicks nor keys.
        const bool wasRunning = running;
        pause();
        asking = true;
        const bool stop = confirmCancel();
        asking = false;
        // An Отмена that reached the runner meanwhile is answered by this same question.
        cancelRequested = false;
        if (stop)
            return true;
        if (wasRunning) {
            // Kept going: the progress window comes back at once.
            resume();
            report(ToolRunner::RunState::Going);
        }
        return false;
    }
    bool isAsking() const { return asking; }

private:
    void report(ToolRunner::RunState state)
    {
        if (settings().progressHook)
            settings().progressHook(state, label, elapsed.elapsed());
    }

    QString label;
    RunWatch *previous;
    QElapsedTimer elapsed;
    QTimer ticks;
    bool running = false;
    bool asking = false;
};

RunWatch *RunWatch::current = nullptr;

enum class Wait { Done, Expired, Cancelled };

// Runs a local event loop until the process is no longer running, `done` returns true, waitMs
// have passed (never for a negative waitMs), or the user cancelled. The user's input is not held
// back here: the GUI's progress hook decides which windows take it.
// A process that was left going may be deleted inside the loop once it has finished; that counts
// as ended.
Wait waitUntil(QProcess &process, int waitMs, const std::function<bool()> &done)
{
    const QPointer<QProcess> alive(&process);
    const QDeadlineTimer deadline(waitMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(waitMs));
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::stateChanged, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    RunWatch *watch = RunWatch::current;
    QEventLoop *outerLoop = watch ? watch->loop : nullptr;
    if (watch)
        watch->loop = &loop;
    const auto restore = qScopeGuard([&] {
        if (watch)
            watch->loop = outerLoop;
    });
    for (;;) {
        if (!alive || process.state() == QProcess::NotRunning || (done && done()))
            return Wait::Done;
        if (watch && watch->cancelConfirmed())
            return alive && process.state() != QProcess::NotRunning ? Wait::Cancelled : Wait::Done;
        if (deadline.hasExpired())
            return Wait::Expired;
        if (!deadline.isForever())
            timer.start(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)));
        loop.exec();
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

// What a run came to once its wait is over: its outcome and output. A run that did not end is
// stopped, or handed to its owner when it is to go on running.
ToolResult conclude(std::unique_ptr<GroupProcess> process, Wait wait, QByteArray output,
                    const ToolOptions &options)
{
    const bool ended = wait == Wait::Done || (wait == Wait::Expired && endedAfterAll(*process));

    ToolResult result;
    result.program = process->program();
    const bool started = process->error() != QProcess::FailedToStart;
    result.outcome = !started                ? ToolResult::Outcome::FailedToStart
                     : ended                 ? ToolResult::Outcome::Ended
                     : wait == Wait::Expired ? ToolResult::Outcome::TimedOut
                                             : ToolResult::Outcome::Cancelled;
    if (result.ended()) {
        output += process->readAll();
        result.output = OutputText::decode(output);
        result.exitCode = process->exitCode();
        return result;
    }

    // Taken before the process is stopped: stopping it replaces the text.
    if (!result.cancelled())
        result.errorText = process->errorString();
    if (result.outcome == ToolResult::Outcome::TimedOut && options.leaveRunning &&
        process->state() != QProcess::NotRunning) {
        QProcess *running = process.release();
        running->setParent(options.keepAliveOwner);
        QObject::connect(running, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         running, &QObject::deleteLater);
        return result;
    }
    ToolRunner::stop(process.get());
    process->close();
    return result;
}

std::unique_ptr<GroupProcess> start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<GroupProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    return process;
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
    RunWatch watch(options.label);
    watch.confirmCancel = options.confirmCancel;
    std::unique_ptr<GroupProcess> process = start(program, arguments);

    QByteArray output;
    const auto collect = [&] {
        output += process->readAll();
        return false;
    };

    Wait wait = Wait::Done;
    if (!options.answers.isEmpty()) {
        wait = waitUntil(*process, scaled(options.firstOutputWaitMs), [&] {
            collect();
            return !output.isEmpty();
        });
        if (!output.isEmpty()) {
            for (const QByteArray &answer : options.answers)
                writeWhileRunning(*process, answer);
        }
    }

    if (wait == Wait::Cancelled) {
        // Nothing more to wait for.
    } else if (options.onPrompt && !options.prompt.isEmpty()) {
        bool asked = false;
        wait = waitUntil(*process, scaled(options.finishWaitMs), [&] {
            collect();
            asked = OutputText::decode(output).contains(options.prompt);
            return asked;
        });
        if (wait == Wait::Done && asked && process->state() != QProcess::NotRunning) {
            // The user may take a while to answer; the wait for the end starts afresh after.
            Busy::set(false);
            watch.pause();
            const QByteArray answer = options.onPrompt(OutputText::decode(output));
            watch.resume();
            Busy::set(true);
            writeWhileRunning(*process, answer);
            wait = waitUntil(*process, scaled(options.finishWaitMs), collect);
        }
    } else {
        wait = waitUntil(*process, scaled(options.finishWaitMs), collect);
    }
    return conclude(std::move(process), wait, output, options);
}

ToolResult ToolRunner::run(const ToolJob &job)
{
    return run(job.program, job.arguments, job.options);
}

QList<ToolResult> ToolRunner::runAll(const QList<ToolJob> &jobs)
{
    Busy busy;
    RunWatch watch(jobs.isEmpty() ? QString() : jobs.first().options.label);
    std::vector<std::unique_ptr<GroupProcess>> processes;
    std::vector<QDeadlineTimer> deadlines;
    for (const ToolJob &job : jobs) {
        const int waitMs = scaled(job.options.finishWaitMs);
        deadlines.emplace_back(waitMs < 0 ? QDeadlineTimer(QDeadlineTimer::Forever)
                                          : QDeadlineTimer(waitMs));
        processes.push_back(start(job.program, job.arguments));
    }
    // Waiting for one, the others go on and their output collects in their own buffers; each
    // still ends, or runs out, by its own deadline.
    QList<ToolResult> results;
    bool cancelled = false;
    for (int i = 0; i < jobs.size(); ++i) {
        GroupProcess &process = *processes[size_t(i)];
        QByteArray output;
        Wait wait = Wait::Cancelled;
        if (!cancelled) {
            const qint64 left = deadlines[size_t(i)].remainingTime();
            wait = waitUntil(process, left < 0 ? -1 : int(qMin<qint64>(left, INT_MAX)), [&] {
                output += process.readAll();
                return false;
            });
            cancelled = wait == Wait::Cancelled;
        }
        if (cancelled && process.state() == QProcess::NotRunning)
            wait = Wait::Done;
        results << conclude(std::move(processes[size_t(i)]), wait, output, jobs[i].options);
    }
    return results;
}

bool ToolRunner::startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void ToolRunner::stop(QProcess *process)
{
    if (process->state() == QProcess::NotRunning)
        return;
    const auto group = pid_t(process->processId());
    ::kill(-group, SIGTERM);
    QDeadlineTimer grace(killGraceMs);
    // The leader first (it is reaped there), then whatever it started.
    process->waitForFinished(int(grace.remainingTime()));
    while (groupAlive(group) && !grace.hasExpired())
        QThread::msleep(20);
    if (groupAlive(group))
        ::kill(-group, SIGKILL);
    if (process->state() != QProcess::NotRunning)
        process->waitForFinished(killGraceMs);
}

void ToolRunner::cancel()
{
    if (RunWatch *watch = RunWatch::current) {
        if (watch->isAsking())
            return;
        watch->cancelRequested = true;
        if (watch->loop)
            watch->loop->quit();
    }
}

void ToolRunner::setProgressHook(std::function<void(RunState, const QString &, qint64)> hook)
{
    settings().progressHook = std::move(hook);
}

bool ToolRunner::isWaiting()
{
    return RunWatch::current != nullptr;
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
