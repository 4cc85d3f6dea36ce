#include "csp/runwait.h"

#include "csp/runwatch.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProcess>
#include <QScopeGuard>
#include <QTimer>

#include <climits>

ToolRunner::detail::Wait ToolRunner::detail::waitUntil(QProcess &process, int waitMs,
                                                       const std::function<bool()> &done)
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

bool ToolRunner::detail::endedAfterAll(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return true;
    return process.waitForFinished(0);
}
