#include "csp/runbatch.h"

#include "csp/csperrors.h"

#include <QFileInfo>

namespace {

ToolResult refused(const QString &refusal)
{
    ToolResult result;
    result.outcome = ToolResult::Outcome::FailedToStart;
    result.errorText = refusal;
    return result;
}

QString withLineEnd(QString text)
{
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}

} // namespace

QString RunBatch::stepLabel(const QString &step, int number, int count, const QString &name)
{
    return QStringLiteral("%1 %2 из %3: %4")
        .arg(step, QString::number(number), QString::number(count), name);
}

RunBatch::Summary RunBatch::run(const QString &step, const QList<Item> &items)
{
    QStringList lines, details;
    int failed = 0;
    bool cancelled = false;
    for (int i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        ToolResult result;
        result.outcome = ToolResult::Outcome::Cancelled;
        if (!cancelled && !item.refusal.isEmpty()) {
            result = refused(item.refusal);
        } else if (!cancelled) {
            ToolJob job = item.job;
            job.options.label = stepLabel(step, i + 1, int(items.size()), item.name);
            result = ToolRunner::run(job);
            cancelled = result.cancelled();
        }
        const CspErrors::Verdict verdict = CspErrors::verdict(result, item.successSentence);
        const bool written =
            !verdict.failed && !item.written.isEmpty() && QFileInfo(item.written).isFile();
        const QString status = result.cancelled() ? QStringLiteral("отменено")
                               : verdict.failed   ? QStringLiteral("ошибка")
                                                  : QStringLiteral("готово");
        lines << item.name +
                     (written ? QStringLiteral(" (%1)").arg(QFileInfo(item.written).fileName())
                              : QString()) +
                     QStringLiteral(" — ") + status;
        details << item.name + QStringLiteral(":\n") + verdict.lines.join(QLatin1Char('\n')) +
                       QLatin1Char('\n') + withLineEnd(result.shownText());
        if (verdict.failed)
            ++failed;
    }
    Summary summary;
    summary.text = lines.join(QLatin1Char('\n'));
    summary.detailedText = details.join(QLatin1Char('\n'));
    summary.warn = failed > 0;
    summary.informativeText =
        failed == 0 ? QStringLiteral("Готово.")
                    : QStringLiteral("Не выполнено: %1 из %2.")
                          .arg(QString::number(failed), QString::number(items.size()));
    return summary;
}
