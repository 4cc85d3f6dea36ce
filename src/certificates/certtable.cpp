#include "certificates/certtable.h"

#include <QColor>
#include <QTableWidget>

void CertTable::fill(QTableWidget *table, const QList<CertificateRecord> &records)
{
    // A sorted table moves a row as soon as one of its cells is set, and the next cells would
    // then land on another certificate's row.
    const bool sorting = table->isSortingEnabled();
    table->setSortingEnabled(false);
    table->setRowCount(0);
    table->setRowCount(records.size());
    for (int row = 0; row < records.size(); ++row) {
        const CertificateRecord &r = records.at(row);
        auto *thumbprint = new QTableWidgetItem(r.thumbprint);
        if (r.daysLeft) {
            const ExpiryColour c = CertListing::expiryColour(*r.daysLeft);
            thumbprint->setBackground(QColor(c.red, c.green, c.blue, c.alpha));
        }
        table->setItem(row, 0, thumbprint);
        table->setItem(row, 1, new QTableWidgetItem(r.store));
        table->setItem(row, 2, new QTableWidgetItem(r.owner));
        table->setItem(row, 3, new QTableWidgetItem(r.issuer));
        table->setItem(row, 4, new QTableWidgetItem(r.notBefore));
        table->setItem(row, 5, new QTableWidgetItem(r.notAfter));
        if (r.container)
            table->setItem(row, 6, new QTableWidgetItem(*r.container));
    }
    table->setSortingEnabled(sorting);
}
