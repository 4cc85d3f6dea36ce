#pragma once

#include <QList>
#include <QString>

struct ToolResult;

// Several files signed or checked one after another, and the one summary the user sees at the
// end instead of a box per file.
namespace FileBatch {

struct Outcome
{
    enum class Status { Done, Failed, Cancelled };
    QString file;
    // The file the run wrote; named only when it succeeded and the file is there.
    QString written;
    Status status = Status::Cancelled;
    // The utility's whole output, or why it did not run or end.
    QString text;
};

// Done only for a run that ended with exit code 0; a cancelled run is Cancelled, any other
// Failed.
Outcome::Status statusOf(const ToolResult &result);

// The first line of the progress window for one of several files: "Подписание файла 2 из 5:
// отчёт.pdf".
QString stepLabel(const QString &step, int number, int count, const QString &file);

// One line per file: its name, the name of the file written in brackets, " — " and the outcome.
QString summary(const QList<Outcome> &outcomes);
// Per file its name and the utility's own words, for the box's details.
QString details(const QList<Outcome> &outcomes);
bool allDone(const QList<Outcome> &outcomes);

} // namespace FileBatch
