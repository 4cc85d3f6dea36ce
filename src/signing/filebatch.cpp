#include "signing/filebatch.h"

#include "csp/toolrunner.h"

#include <QFileInfo>

namespace {

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString statusText(FileBatch::Outcome::Status status)
{
    switch (status) {
    case FileBatch::Outcome::Status::Done:
        return QStringLiteral("готово");
    case FileBatch::Outcome::Status::Failed:
        return QStringLiteral("ошибка");
    case FileBatch::Outcome::Status::Cancelled:
        break;
    }
    return QStringLiteral("отменено");
}

} // namespace

FileBatch::Outcome::Status FileBatch::statusOf(const ToolResult &result)
{
    if (result.cancelled())
        return Outcome::Status::Cancelled;
    return result.succeeded() ? Outcome::Status::Done : Outcome::Status::Failed;
}

QString FileBatch::stepLabel(const QString &step, int number, int count, const QString &file)
{
    return QStringLiteral("%1 %2 из %3: %4")
        .arg(step, QString::number(number), QString::number(count), fileName(file));
}

QString FileBatch::summary(const QList<Outcome> &outcomes)
{
    QStringList lines;
    for (const Outcome &o : outcomes) {
        QString line = fileName(o.file);
        if (!o.written.isEmpty())
            line += QStringLiteral(" (%1)").arg(fileName(o.written));
        lines << line + QStringLiteral(" — ") + statusText(o.status);
    }
    return lines.join(QLatin1Char('\n'));
}

QString FileBatch::details(const QList<Outcome> &outcomes)
{
    QStringList parts;
    for (const Outcome &o : outcomes) {
        QString part = fileName(o.file) + QStringLiteral(":\n") + o.text;
        if (!part.endsWith(QLatin1Char('\n')))
            part += QLatin1Char('\n');
        parts << part;
    }
    return parts.join(QLatin1Char('\n'));
}

bool FileBatch::allDone(const QList<Outcome> &outcomes)
{
    for (const Outcome &o : outcomes)
        if (o.status != Outcome::Status::Done)
            return false;
    return true;
}
