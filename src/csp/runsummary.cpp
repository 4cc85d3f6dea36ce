#include "csp/runsummary.h"

QString summaryLine(const QString &name, const ToolResult &result)
{
    const QString outcome = result.succeeded()   ? QStringLiteral("готово")
                            : result.cancelled() ? QStringLiteral("отменено")
                                                 : QStringLiteral("ошибка");
    return name + QStringLiteral(" — ") + outcome;
}

void RunSummary::add(const QString &name, const ToolResult &result)
{
    lines << summaryLine(name, result);
    QString shown = result.shownText();
    if (!shown.isEmpty()) {
        if (!shown.endsWith(QLatin1Char('\n')))
            shown += QLatin1Char('\n');
        details << name + QStringLiteral(":\n") + shown;
    }
    failed = failed || (!result.succeeded() && !result.cancelled());
}
