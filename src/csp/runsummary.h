#pragma once

#include "csp/toolrunner.h"

#include <QString>
#include <QStringList>

// "NAME — готово" for a run that ended with exit code 0, "NAME — отменено" for one the user
// cancelled, "NAME — ошибка" for any other.
QString summaryLine(const QString &name, const ToolResult &result);

// What one box says after the same operation was run for several items: a line per item, and
// what each run printed as the details.
class RunSummary
{
public:
    void add(const QString &name, const ToolResult &result);

    QString text() const { return lines.join(QLatin1Char('\n')); }
    // Each item's name, a colon, and its output or error text, separated by empty lines.
    QString detailedText() const { return details.join(QLatin1Char('\n')); }
    bool anyFailed() const { return failed; }

private:
    QStringList lines;
    QStringList details;
    bool failed = false;
};
