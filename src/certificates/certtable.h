#pragma once

#include "certificates/certlisting.h"

#include <QList>

class QTableWidget;

namespace CertTable {

// Replaces the table's rows with one row per certificate, in the given order: thumbprint (with
// its expiry colour), store, owner, issuer, the two dates, and the container when there is one.
void fill(QTableWidget *table, const QList<CertificateRecord> &records);

} // namespace CertTable
