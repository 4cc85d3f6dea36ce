#pragma once

#include "certificates/certlisting.h"

#include <QList>
#include <QString>

#include <functional>

class QModelIndex;
class QTableWidget;

namespace CertTable {

// Replaces the table's rows with one row per certificate, in the given order: thumbprint (with
// its expiry colour), store, owner, issuer, the two dates, and the container when there is one.
void fill(QTableWidget *table, const QList<CertificateRecord> &records);

// Shows only the rows with a cell that contains `text` (in any case); every row for an empty
// text. A hidden row never stays the current one: then nothing is selected any more.
void applyFilter(QTableWidget *table, const QString &text);

// Fits every column to the longest texts of its shown rows, as wide as Qt's own fitting makes it
// for them; a text cut off all the same shows whole in its tooltip.
void fitColumns(QTableWidget *table);

// Enter or Return on the table calls `open` with its current cell; hovering a cell whose text
// is cut off shows the whole text as a tooltip, and hovering a thumbprint says how long the
// certificate is valid, as its colour does.
void addKeysAndToolTips(QTableWidget *table, std::function<void(const QModelIndex &)> open);

} // namespace CertTable
