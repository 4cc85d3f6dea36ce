#pragma once

#include <QByteArrayList>
#include <QObject>
#include <QString>
#include <QStringList>

// The result of one run of a CSP utility or one of our scripts.
struct ToolResult
{
    // True when the process started and ended within its wait; only then is output meaningful.
    bool endedInTime = false;
    // Standard output and standard error together, decoded as UTF-8.
    QString output;
    // The process's own error description (QProcess::errorString()) when it did not start
    // or did not end in time; empty otherwise.
    QString errorText;
    int exitCode = -1;

    // What a message box shows for this run: the output, or the error description.
    QString shownText() const { return endedInTime ? output : errorText; }
};

struct ToolOptions
{
    // How long to wait for the process to end.
    int finishWaitMs = 30000;
    // Answers written to standard input, one write each, once the first output has arrived
    // within firstOutputWaitMs. A process that prints nothing in that time gets no answer.
    QByteArrayList answers;
    int firstOutputWaitMs = 30000;
    // A process still running after its wait is stopped, unless it is to go on running; such a
    // process is handed to keepAliveOwner, which must outlive the call (the main window).
    bool leaveRunning = false;
    QObject *keepAliveOwner = nullptr;
};

// Every child process of the program is started, waited for and read here.
namespace ToolRunner {

// Splits a command text into arguments the way Qt does (QProcess::splitCommand).
QStringList splitCommand(const QString &command);

// Runs one command text, split into program and arguments by splitCommand().
ToolResult runCommand(const QString &command, const ToolOptions &options = {});

// Runs a program with an argument list that is passed unchanged.
ToolResult run(const QString &program, const QStringList &arguments,
               const ToolOptions &options = {});

} // namespace ToolRunner
