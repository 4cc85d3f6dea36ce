#include "csp/processgroup.h"

#include "csp/runsettings.h"
#include "csp/toolrunner.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <signal.h>
#include <unistd.h>

namespace {

void leadOwnGroup()
{
    ::setpgid(0, 0);
}

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

} // namespace

ToolRunner::detail::GroupProcess::GroupProcess()
    : ProcessWithChildSetup(&leadOwnGroup)
{}

ToolRunner::detail::GroupProcess::~GroupProcess()
{
    if (state() != NotRunning) {
        ::kill(-pid_t(processId()), SIGKILL);
        waitForFinished(killGraceMs);
    }
}

std::unique_ptr<ToolRunner::detail::GroupProcess>
ToolRunner::detail::start(const QString &program, const QStringList &arguments)
{
    auto process = std::make_unique<GroupProcess>();
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    return process;
}

void ToolRunner::stop(QProcess *process)
{
    if (process->state() == QProcess::NotRunning)
        return;
    const auto group = pid_t(process->processId());
    const auto waitForGroup = [group](const QDeadlineTimer &deadline) {
        while (groupAlive(group) && !deadline.hasExpired())
            QThread::msleep(10);
    };
    ::kill(-group, SIGTERM);
    // Shortened in tests like every other wait.
    const QDeadlineTimer grace(detail::scaled(detail::killGraceMs));
    // The leader first (it is reaped there), then whatever it started.
    process->waitForFinished(int(grace.remainingTime()));
    waitForGroup(grace);
    if (groupAlive(group)) {
        ::kill(-group, SIGKILL);
        // The signal is delivered on the way: what it ends is gone when stop() returns.
        waitForGroup(QDeadlineTimer(detail::killGraceMs));
    }
    if (process->state() != QProcess::NotRunning)
        process->waitForFinished(detail::killGraceMs);
}
