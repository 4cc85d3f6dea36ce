#include "benchsupport.h"

#include "certificates/certcommands.h"
#include "support/certlistings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

QString BenchSupport::containerListing(int count)
{
    QString text =
        QStringLiteral("CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                       "AcquireContext: OK. HCRYPTPROV: 6679219\n");
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("\\\\.\\HDIMAGE\\container-%1\n").arg(i, 4, 10, QLatin1Char('0'));
    return text + QStringLiteral("OK.\nTotal: SYS: 0,010 sec USR: 0,000 sec UTC: 0,060 sec\n"
                                 "[ErrorCode: 0x00000000]\n");
}

QString BenchSupport::readerListing()
{
    return QStringLiteral("CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                          "AcquireContext: OK. HCRYPTPROV: 11225731\n"
                          "GetProvParam(PP_ENUMREADERS): OK.\n"
                          " 0x00000000    HDIMAGE\n"
                          " 0x00000000    Aktiv Rutoken ECP 00 00\n"
                          " 0x00000000    FLASH\n"
                          "[ErrorCode: 0x00000000]\n");
}

QStringList BenchSupport::containerArguments()
{
    return {QStringLiteral("-keyset"), QStringLiteral("-enum_cont"), QStringLiteral("-fqcn"),
            QStringLiteral("-verifyc")};
}

QStringList BenchSupport::readerArguments()
{
    return {QStringLiteral("-enum"), QStringLiteral("-info"), QStringLiteral("-type"),
            QStringLiteral("PP_ENUMREADERS")};
}

QString BenchSupport::certificateListing(int count)
{
    QList<ListedCert> certificates;
    for (int i = 0; i < count; ++i) {
        ListedCert c;
        c.thumbprint = QStringLiteral("0x%1").arg(i, 40, 16, QLatin1Char('0'));
        c.subject = QStringLiteral("SN=Иванов-%1, G=Иван Иванович, CN=Иванов-%1 Иван Иванович, "
                                   "C=RU")
                        .arg(i);
        c.notAfter = validUntil(i % 10 == 0 ? i % 40 - 5 : 365);
        if (i % 2)
            c.container = QStringLiteral("HDIMAGE\\\\key%1.000\\1A2B").arg(i);
        certificates << c;
    }
    return certmgrListing(certificates);
}

QStringList BenchSupport::certificateArguments(const QString &store)
{
    return CertCommands::listStore(QString(), store).arguments;
}

qint64 BenchSupport::residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+) kB"))
                                          .match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

double BenchSupport::medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}
