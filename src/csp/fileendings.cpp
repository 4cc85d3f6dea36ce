#include "csp/fileendings.h"

bool FileEndings::matches(const QString &path, const QStringList &endings)
{
    for (const QString &ending : endings) {
        if (path.endsWith(ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString FileEndings::refusal(const QString &path, const QStringList &endings)
{
    QString accepted = endings.value(0);
    for (int i = 1; i < endings.size(); ++i)
        accepted += (i + 1 == endings.size() ? QStringLiteral(" или ") : QStringLiteral(", ")) +
                    endings.at(i);
    return QStringLiteral("Файл не подходит:\n") + path +
           QStringLiteral("\nПринимаются файлы с расширением ") + accepted + QLatin1Char('.');
}
