#pragma once

#include <QByteArrayList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QProcess;

// The result of one run of a CSP utility or one of our scripts.
struct ToolResult
{
    enum class Outcome {
        Ended,         // it ended by itself within its wait, with exitCode
        FailedToStart, // errorText says why ("execvp: No such file or directory")
        TimedOut,      // its wait ran out; errorText is "Process operation timed out"
        Cancelled,     // the user pressed Отмена; nothing is to be shown for it
    };
    Outcome outcome = Outcome::FailedToStart;
    // Standard output and standard error together, decoded as UTF-8 (or Windows-1251 when it
    // is not valid UTF-8); only meaningful for Ended.
    QString output;
    // The process's own error description (QProcess::errorString()) when it did not start
    // or did not end in time; empty otherwise.
    QString errorText;
    int exitCode = -1;
    // The program that was run, as it was given to the runner.
    QString program;

    bool ended() const { return outcome == Outcome::Ended; }
    bool cancelled() const { return outcome == Outcome::Cancelled; }
    // Ended with exit code 0.
    bool succeeded() const { return ended() && exitCode == 0; }
    // What a message box shows for this run: the output, or the error description.
    QString shownText() const { return ended() ? output : errorText; }
};

struct ToolOptions
{
    // A finishWaitMs for a run that may take as long as the user needs (key generation).
    static constexpr int noTimeLimit = -1;

    // The first line of the progress window shown for a run that lasts ("Поиск контейнеров…").
    QString label;
    // How long to wait for the process to end, or noTimeLimit.
    int finishWaitMs = 30000;
    // Answers written to standard input, one write each, once the first output has arrived
    // within firstOutputWaitMs. A process that prints nothing in that time gets no answer.
    QByteArrayList answers;
    int firstOutputWaitMs = 30000;
    // A question the utility may ask on its standard input. When the output so far contains
    // `prompt`, onPrompt is called once with that output and what it returns is written. The
    // time spent answering does not count against finishWaitMs.
    QString prompt;
    std::function<QByteArray(const QString &outputSoFar)> onPrompt;
    // A process still running after its wait is stopped, unless it is to go on running; such a
    // process is handed to keepAliveOwner, which must outlive the call (the main window).
    bool leaveRunning = false;
    QObject *keepAliveOwner = nullptr;
    // Asked when the user presses Отмена; false keeps the run going. Unset: Отмена stops it.
    // While it asks, the progress window is hidden and a further Отмена is not asked again.
    std::function<bool()> confirmCancel;
};

// One of several runs started together (ToolRunner::runAll).
struct ToolJob
{
    QString program;
    QStringList arguments;
    ToolOptions options;
};

// Every child process of the program is started, waited for and read here. While it waits, the
// caller's slot does not go on, but the window still repaints and answers the desktop: the wait
// runs a local event loop, and the progress hook lets the GUI show the run and stop it.
namespace ToolRunner {

// Splits a command text into arguments the way Qt does (QProcess::splitCommand). Only for
// commands that carry no user text: anything a user typed or chose goes in an argument list.
QStringList splitCommand(const QString &command);

// Runs one command text, split into program and arguments by splitCommand().
ToolResult runCommand(const QString &command, const ToolOptions &options = {});

// Runs a program with an argument list that is passed unchanged.
ToolResult run(const QString &program, const QStringList &arguments,
               const ToolOptions &options = {});

ToolResult run(const ToolJob &job);

// Starts every job at once and waits until each has ended or run out of its own wait; the
// results come in the order of the jobs. The progress window shows the first job's label for
// the whole group, and Отмена stops every job still going. Only for runs that read nothing
// from standard input (answers and prompts are not given).
QList<ToolResult> runAll(const QList<ToolJob> &jobs);

// Starts a program that runs on by itself, such as a terminal, and returns at once; nothing
// waits for it or reads it. False when it could not be started.
bool startDetached(const QString &program, const QStringList &arguments);

// Stops a run and everything it started: SIGTERM to its process group, SIGKILL 2 s later to
// whatever of it is still there, so that a script's children stop with it and its clean-up runs.
void stop(QProcess *process);

// True while a run is being waited for: the slot that started it has not gone on yet.
bool isWaiting();

// The CSP directory, put into the environment of every child as VELMORA_CSP_BIN_DIR, so that
// the scripts find the same utilities as the program.
void setCspBinDir(const QString &directory);

// Called with true before a wait and with false after it (the GUI shows a wait cursor).
void setBusyHook(std::function<void(bool busy)> hook);

// What the progress hook hears of the run being waited for: it started (the GUI stops taking
// input for the windows already open), it is still going `elapsedMs` after it started (first
// after progressDelayMs, then every second), it is over.
enum class RunState { Started, Going, Ended };
constexpr int progressDelayMs = 500;
void setProgressHook(
    std::function<void(RunState state, const QString &label, qint64 elapsedMs)> hook);
// The user pressed Отмена: the run being waited for is stopped (after its confirmCancel, if it
// has one) and its outcome is Cancelled. A run may begin while another is waited for (from a
// question asked during it): the newer one is then the run the hook hears of and Отмена stops,
// and the one before comes back when it is over.
void cancel();

// For tests only: every wait is multiplied by this factor (1 by default), so that a slow
// utility can be simulated in a fraction of a second.
void setWaitFactorForTests(double factor);
double waitFactorForTests();

} // namespace ToolRunner
