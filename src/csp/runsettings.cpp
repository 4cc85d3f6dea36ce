#include "csp/runsettings.h"

#include <QFile>

ToolRunner::detail::Settings &ToolRunner::detail::settings()
{
    static Settings s;
    return s;
}

int ToolRunner::detail::scaled(int ms)
{
    if (ms < 0)
        return ms;
    return qMax(0, int(ms * settings().waitFactor));
}

void ToolRunner::setProgressHook(std::function<void(RunState, const QString &, qint64)> hook)
{
    detail::settings().progressHook = std::move(hook);
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
    detail::settings().busyHook = std::move(hook);
}

void ToolRunner::setWaitFactorForTests(double factor)
{
    detail::settings().waitFactor = factor;
}

double ToolRunner::waitFactorForTests()
{
    return detail::settings().waitFactor;
}
