#include "certificates/certexpiry.h"

QString CertExpiry::warningText(const QList<CertificateRecord> &certificates, const QDate &today)
{
    QString lines;
    for (const CertificateRecord &c : certificates) {
        const QDate end = CertListing::endDate(c.notAfter);
        if (c.store != QLatin1String("uMy") || !c.container || !end.isValid())
            continue;
        // The same count of days as the colour of the thumbprint cell.
        const int days = CertListing::daysLeft(c.notAfter, today);
        if (days < 0 || days > 30)
            continue;
        lines += QLatin1Char('\n') + c.owner + QStringLiteral(" — до ") +
                 end.toString(QStringLiteral("dd.MM.yyyy")) +
                 (days == 0 ? QStringLiteral(" (истекает сегодня)")
                            : QStringLiteral(" (осталось %1 дн.)").arg(days));
    }
    return lines.isEmpty() ? QString()
                           : QStringLiteral("Срок действия сертификатов скоро истекает:") + lines;
}
