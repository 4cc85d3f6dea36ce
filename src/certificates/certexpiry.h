#pragma once

#include "certificates/certlisting.h"

#include <QDate>
#include <QList>
#include <QString>

namespace CertExpiry {

// The warning shown once at start-up about one's own certificates that are about to expire:
// those of the store uMy with a key container whose validity ends within 30 days from `today`
// (today included), one line each in the given order. Empty when no certificate qualifies;
// certificates already expired, or whose end cannot be read, are left out.
QString warningText(const QList<CertificateRecord> &certificates, const QDate &today);

} // namespace CertExpiry
