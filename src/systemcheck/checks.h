#pragma once

#include "csp/toolrunner.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// What the system check finds out about the machine, one row per check, from the utilities'
// outputs and a few facts of the file system. The dialog only runs the utilities and shows the
// rows.
namespace SystemChecks {

enum class State { Fine, Warning, Failure };

struct Row
{
    QString check;  // "Проверка"
    QString result; // "Результат"
    QString step;   // "Что сделать": one step, empty for a fine row
    State state = State::Fine;

    bool operator==(const Row &o) const
    {
        return check == o.check && result == o.result && step == o.step && state == o.state;
    }
};

// The CSP's release as its banner names it ("Release Ver:5.0.12455"); empty when not printed.
QString bannerVersion(const QString &output);

// The row of the CSP. `installed`: csptest is in the CSP directory; `banner` is the result of
// `csptest -keyset -verifycontext`; `missingUtilities` are the paths of the other utilities the
// program needs that are not there.
Row cspRow(bool installed, const ToolResult &banner, const QStringList &missingUtilities);

// The row of the licence from `cpconfig -license -view`.
Row licenseRow(const ToolResult &view);

// Where pcscd's socket is: the value of PCSCLITE_CSOCK_NAME when it is set, as pcsc-lite reads
// it, otherwise /run/pcscd/pcscd.comm.
QString pcscSocketPath();
Row smartCardServiceRow(bool socketExists);

// The rows of the reader and the container listings.
Row readersRow(const ToolResult &listing);
Row containersRow(const ToolResult &listing);

// Whether a uRoot listing holds the root certificate of the head certification centre (the
// current one or the one before it).
bool holdsHeadRoot(const QString &listing);
Row rootRow(const ToolResult &listing);

// The personal certificates of a uMy listing that have a key container.
struct PersonalCounts
{
    int withKey = 0;
    int expiring = 0; // within 30 days from today, today included
    int expired = 0;
    bool operator==(const PersonalCounts &o) const
    {
        return withKey == o.withKey && expiring == o.expiring && expired == o.expired;
    }
};
PersonalCounts personalCounts(const QString &listing, const QDate &today);
Row personalRow(const ToolResult &listing, const QDate &today);

Row xtermRow(bool found);

// The row of a check that needs the CSP when it is not installed; nothing was run for it.
Row withoutCsp(const QString &check);

// The names of the rows, in the order the table shows them.
QStringList checkNames();

// The table as plain text for a message to support: one line per row, its cells separated by
// " — " (an empty step is left out), line breaks within a cell written as "; ".
QString report(const QList<Row> &rows);

} // namespace SystemChecks
