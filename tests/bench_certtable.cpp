// Times the certificate table: reading a listing of 10,000 certificates and filling the table
// from it, against a bare fill of the same 70,000 cells. Not a test; run it by hand:
//   QT_QPA_PLATFORM=offscreen build-dev/tests/bench_certtable
#include "certificates/certlisting.h"
#include "certificates/certtable.h"
#include "support/certlistings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int certificates = 10000;
constexpr int rounds = 5;

// The median of `rounds` runs, in milliseconds.
double medianMs(const std::function<void()> &run)
{
    QList<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        run();
        times << clock.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times.at(rounds / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);

    QList<ListedCert> certs;
    for (int i = 0; i < certificates; ++i) {
        ListedCert c;
        c.thumbprint = QStringLiteral("0x%1").arg(i, 40, 16, QLatin1Char('0'));
        c.notAfter = validUntil(i % 400 - 20);
        if (i % 2)
            c.container = QStringLiteral("HDIMAGE\\\\key%1.000\\1A2B").arg(i);
        certs << c;
    }
    const QString listing = certmgrListing(certs);

    // Set up as the window's form does it: sorting on, no column chosen yet.
    QTableWidget table;
    table.setColumnCount(7);
    table.setSortingEnabled(true);
    QList<CertificateRecord> records;
    const double parse = medianMs([&] { records = CertListing::parse(listing, "uMy"); });
    const double parseAndFill = medianMs(
        [&] { CertTable::fill(&table, CertListing::parse(listing, QStringLiteral("uMy"))); });

    QVector<QStringList> cells;
    for (const CertificateRecord &r : records)
        cells << QStringList{r.thumbprint,
                             r.store,
                             r.owner,
                             r.issuer,
                             r.notBefore,
                             r.notAfter,
                             r.container.value_or(QString())};
    QTableWidget bare(0, 7);
    const double bareFill = medianMs([&] {
        bare.setRowCount(0);
        bare.setRowCount(cells.size());
        for (int row = 0; row < cells.size(); ++row)
            for (int column = 0; column < 7; ++column)
                bare.setItem(row, column, new QTableWidgetItem(cells[row][column]));
    });

    std::printf("%d certificates, %d listing characters, median of %d rounds\n", certificates,
                listing.size(), rounds);
    std::printf("parse alone:                  %8.1f ms\n", parse);
    std::printf("parse and fill the table:     %8.1f ms\n", parseAndFill);
    std::printf("bare fill of %d cells:     %8.1f ms\n", certificates * 7, bareFill);

    // The same after the user has sorted by the thumbprint column.
    table.sortByColumn(0, Qt::AscendingOrder);
    const double sortedFill = medianMs(
        [&] { CertTable::fill(&table, CertListing::parse(listing, QStringLiteral("uMy"))); });
    std::printf("the same, sorted by thumbprint: %6.1f ms\n", sortedFill);
    return table.rowCount() == certificates ? 0 : 1;
}
