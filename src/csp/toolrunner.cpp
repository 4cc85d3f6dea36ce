#include "csp/toolrunner.h"

#include "csp/outputtext.h"
#include "csp/processgroup.h"
#include "csp/runresult.h"
#include "csp/runsettings.h"
#include "csp/runwait.h"
#include "csp/runwatch.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <climits>
#include <memory>
#include <vector>

// The entry point: a run from its start to its result. The jobs it is made of have files of
// their own: processgroup (starting and stopping), runwait (the local event loop), runwatch
// (what the GUI sees of the run), runresult (the result, and runs left going), runsettings
// (the hooks, the environment and the tests' wait factor).

using namespace ToolRunner::detail;

namespace {

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
