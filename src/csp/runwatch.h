#pragma once

#include "csp/runsettings.h"
#include "csp/toolrunner.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>

class QEventLoop;

// What the GUI hears of the runs being waited for: the busy hook, and the progress hook that
// shows the current run and stops it at Отмена. Only the tool runner's own files use this;
// everyone else goes through csp/toolrunner.h.
namespace ToolRunner::detail {

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

// The run being waited for, as the progress hook and Отмена see it. A run can begin while
// another is waited for (a question asked during a run, the window closed during one): the
// watches then stack, the newest is the current one, and the one before it is put back at its
// end.
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

} // namespace ToolRunner::detail
