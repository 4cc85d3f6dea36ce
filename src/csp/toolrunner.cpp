#include "toolrunner.h"

#include <QApplication>
#include <QProcess>

#include <memory>

namespace {

// The window neither repaints nor reacts while a utility runs; the wait cursor says so.
class WaitCursor
{
public:
    WaitCursor()
        : active(qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (active)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (active)
            QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool active;
};

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
    WaitCursor cursor;
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);

    QByteArray output;
    if (!options.answers.isEmpty()) {
        process->waitForReadyRead(options.firstOutputWaitMs);
        output += process->readAll();
        if (!output.isEmpty()) {
            for (const QByteArray &answer : options.answers)
                process->write(answer);
        }
    }
    process->waitForFinished(options.finishWaitMs);

    // waitForFinished() also returns false for a process that had already ended, so the
    // process state decides whether it ended in time.
    ToolResult result;
    const bool started = process->error() != QProcess::FailedToStart;
    result.endedInTime = started && process->state() == QProcess::NotRunning;
    if (result.endedInTime) {
        output += process->readAll();
        result.output = QString::fromUtf8(output);
        result.exitCode = process->exitCode();
        return result;
    }

    // Taken before the process is stopped: stopping it replaces the text.
    result.errorText = process->errorString();
    if (options.leaveRunning && process->state() != QProcess::NotRunning) {
        QProcess *running = process.release();
        running->setParent(options.keepAliveOwner);
        QObject::connect(running, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         running, &QObject::deleteLater);
        return result;
    }
    process->close();
    return result;
}
