#include "csp/runresult.h"

#include "csp/outputtext.h"

ToolResult ToolRunner::detail::conclude(std::unique_ptr<GroupProcess> process, Wait wait,
                                        QByteArray output, const ToolOptions &options)
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
