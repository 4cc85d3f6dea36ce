#pragma once

// What the suites of the certificate tab share: certificates to list, rows as the user sees
// them, and the runs the stand-in saw.
#include "app/mainwindow.h"
#include "support/certlistings.h"
#include "support/windowtestenv.h"

#include <QTableWidget>

using Certs = QList<ListedCert>;
Q_DECLARE_METATYPE(Certs)

namespace CertTests {

inline const QString key = QStringLiteral("\\\\.\\HDIMAGE\\my \"key\"");
inline const QString done = QStringLiteral("certmgr: done\n");
inline const QString timedOut = QStringLiteral("Process operation timed out");
inline const QStringList refreshed{"certmgr|-list|-store|uRoot", "certmgr|-list|-store|uMy"};
inline const QStringList searched{"csptest|-keyset|-enum_cont|-fqcn|-verifyc",
                                  "csptest|-enum|-info|-type|PP_ENUMREADERS"};

inline ListedCert cert(const QString &thumbprint, int days, const QString &container = QString())
{
    ListedCert c;
    c.thumbprint = thumbprint;
    c.subject = "SN=Иванов, CN=" + thumbprint;
    c.issuer = "CN=УЦ " + thumbprint;
    c.notAfter = validUntil(days);
    c.container = container;
    return c;
}

// A row as the user sees it: the seven cells ("-" for none) and the thumbprint cell's colour.
inline QString row(const QString &thumbprint, const QString &store, int days,
                   const QString &key = "-")
{
    const char *colour = days >= 30   ? "0,255,0,127"
                         : days >= 11 ? "255,255,0,127"
                         : days >= 1  ? "255,150,0,127"
                                      : "255,0,0,127";
    return QStringList{QString(thumbprint).remove("0x"),
                       store,
                       "Иванов " + thumbprint,
                       "УЦ " + thumbprint,
                       ListedCert().notBefore,
                       validUntil(days),
                       key,
                       colour}
        .join('|');
}

inline QStringList tableRows(const MainWindow &w)
{
    const auto *table = w.findChild<QTableWidget *>("tableWidgetCert");
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 7; ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text() : "-");
        const QColor bg = table->item(r, 0)->background().color();
        rows << (cells << QString("%1,%2,%3,%4")
                              .arg(bg.red())
                              .arg(bg.green())
                              .arg(bg.blue())
                              .arg(bg.alpha()))
                    .join('|');
    }
    return rows;
}

// Each run: the tool and its arguments joined by "|", then " <" and what it read, if anything.
// The two listings of a refresh start together and may be logged either way round: they are
// given in the table's order.
inline QStringList runs(const CspStandIn &csp)
{
    QStringList list;
    for (const StandInCall &c : csp.calls())
        list << (QStringList{c.tool} + c.args).join('|') +
                    (c.stdinText.isEmpty() ? QString() : " <" + c.stdinText);
    for (int i = 0; i + 1 < list.size(); ++i) {
        if (list[i] == refreshed[1] && list[i + 1] == refreshed[0])
            list.swapItemsAt(i, i + 1);
    }
    return list;
}

inline QStringList visibleThumbprints(const QTableWidget *table)
{
    QStringList shown;
    for (int r = 0; r < table->rowCount(); ++r)
        if (!table->isRowHidden(r))
            shown << table->item(r, 0)->text();
    return shown;
}

inline void selectContainer(MainWindow &w, const QString &name)
{
    if (!name.isEmpty())
        WindowTest::setComboItems(w, "comboBox_seakeys", {name, "none"});
}

} // namespace CertTests
