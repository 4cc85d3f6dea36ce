// The certificate table: both stores, colours, search, fitted columns and the expiry warning,
// through the window against the stand-in certmgr.
#include "app/mainwindow.h"
#include "certificates/dialog.h"
#include "support/certtests.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace WindowTest;
using namespace CertTests;

class TestCertTable : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init() { env = std::make_unique<WindowTestEnv>(); }
    void cleanup() { env.reset(); }

    void tableShowsBothStores_data();
    void tableShowsBothStores();
    void refreshReplacesEveryCell();
    void expiryWarningOnFirstShow();
    void searchKeysAndFittedColumns();
    void columnsFitTheirLongestTexts();

private:
    std::unique_ptr<WindowTestEnv> env;
};

void TestCertTable::tableShowsBothStores_data()
{
    QTest::addColumn<Certs>("root");
    QTest::addColumn<Certs>("my");
    QTest::addColumn<int>("rootDelayMs"); // long enough for uMy to start meanwhile
    QTest::addColumn<bool>("sortedByThumbprint");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("boxes");

    const QString k = "HDIMAGE\\\\ivanov.000\\1A2B";
    QTest::newRow("uRoot first, every colour")
        << Certs{cert("0xc1", 30), cert("c2", 29), cert("0xc3", 11)}
        << Certs{cert("0xd1", 10, k), cert("d2", 1), cert("d3", 0), cert("d4", -1)} << 10000
        << false
        << QStringList{row("0xc1", "uRoot", 30),  row("c2", "uRoot", 29), row("0xc3", "uRoot", 11),
                       row("0xd1", "uMy", 10, k), row("d2", "uMy", 1),    row("d3", "uMy", 0),
                       row("d4", "uMy", -1)}
        << QStringList();
    ListedCert unreadable = cert("e1", 100);
    unreadable.notAfter = "2027-03-15 08:44:55";
    QTest::newRow("unreadable date is red")
        << Certs() << Certs{unreadable} << 10000 << false
        << QStringList{row("e1", "uMy", 0).replace(validUntil(0), unreadable.notAfter)}
        << QStringList();
    ListedCert surnameInCn = cert("o1", 40), noSn = cert("o2", 40);
    surnameInCn.subject = "SN=Сидоренко, CN=Сидоренко Ирина Валентиновна";
    noSn.subject = "CN=ООО Ромашка";
    QTest::newRow("owner: the surname once, no SN")
        << Certs() << Certs{surnameInCn, noSn} << 10000 << false
        << QStringList{row("o1", "uMy", 40).replace("Иванов o1", "Сидоренко Ирина Валентиновна"),
                       row("o2", "uMy", 40).replace("Иванов o2", "ООО Ромашка")}
        << QStringList();
    QTest::newRow("uRoot times out, uMy still shown")
        << Certs{cert("c1", 40)} << Certs{cert("d1", 40)} << 60000 << false
        << QStringList{row("d1", "uMy", 40)} << QStringList{timedOut};
    QTest::newRow("sorted by thumbprint")
        << Certs{cert("c2", 40), cert("c9", 5)} << Certs{cert("c5", 15), cert("c1", -3)} << 10000
        << true
        << QStringList{row("c1", "uMy", -3), row("c2", "uRoot", 40), row("c5", "uMy", 15),
                       row("c9", "uRoot", 5)}
        << QStringList();
}

void TestCertTable::tableShowsBothStores()
{
    QFETCH(Certs, root);
    QFETCH(Certs, my);
    QFETCH(int, rootDelayMs);
    QFETCH(bool, sortedByThumbprint);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, boxes);

    StandInRule rootListing;
    rootListing.tool = "certmgr";
    rootListing.args = QStringList{"-list", "-store", "uRoot"};
    rootListing.output = certmgrListing(root);
    rootListing.delayMs = rootDelayMs;
    env->csp.addRule(rootListing);
    env->csp.on("certmgr", {"-list", "-store", "uMy"}, certmgrListing(my));
    auto w = env->startWindow();
    if (sortedByThumbprint)
        w->findChild<QTableWidget *>("tableWidgetCert")->sortByColumn(0, Qt::AscendingOrder);

    // A second refresh of unchanged stores gives the same table.
    for (int refresh = 0; refresh < 2; ++refresh) {
        env->csp.clearCalls();
        env->dialogs.shown.clear();
        click(*w, "pushButton_sysser");
        QCOMPARE(tableRows(*w), rows);
        QCOMPARE(env->dialogs.messageTexts(), boxes);
        QCOMPARE(runs(env->csp), refreshed);
        // Side by side: uMy started while uRoot was still going.
        for (const StandInCall &call : env->csp.calls()) {
            if (call.args.contains("uMy"))
                QCOMPARE(call.endsBeforeStart, 0);
        }
    }
}

void TestCertTable::refreshReplacesEveryCell()
{
    const QString k = "HDIMAGE\\\\ivanov.000\\1A2B";
    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({}));
    env->csp.on("certmgr", {"-list", "-store", "uMy"},
                certmgrListing({cert("a1", 40, k), cert("a2", 5, k), cert("a3", 1)}));
    auto w = env->startWindow();
    auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    table->selectRow(1);

    // Fewer certificates, no container, and one without an end of validity (so no colour): no
    // cell and no colour of the earlier listing may stay, nor the chosen row.
    env->csp.clearRules();
    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({}));
    QString changed = certmgrListing({cert("b1", 20)});
    changed.remove(QRegularExpression("Not valid after[^\n]*\n"));
    env->csp.on("certmgr", {"-list", "-store", "uMy"}, changed);
    click(*w, "pushButton_sysser");
    QString noEnd = row("b1", "uMy", 20).replace(validUntil(20), "");
    QCOMPARE(tableRows(*w), QStringList{noEnd.replace("255,255,0,127", "0,0,0,255")});
    QCOMPARE(table->currentRow(), -1);
    QVERIFY(table->selectedItems().isEmpty());
}

void TestCertTable::expiryWarningOnFirstShow()
{
    ListedCert unreadable = cert("u", 5, "k");
    unreadable.notAfter = "garbage";
    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({cert("r", 5, "k")}));
    env->csp.on("certmgr", {"-list", "-store", "uMy"},
                certmgrListing({cert("a", 31, "k"), cert("b", 5, "k"), cert("c", 0, "k"),
                                cert("d", 30, "k"), cert("e", -1, "k"), cert("f", 5), unreadable}));
    auto w = env->startWindow();
    QCoreApplication::processEvents();
    QVERIFY(env->dialogs.shown.isEmpty()); // not before the window is shown
    w->show();
    QTRY_COMPARE(env->dialogs.shown.size(), 1);
    const auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    QString text = "Срок действия сертификатов скоро истекает:";
    for (const auto &[row, days] : {std::pair{2, 5}, {3, 0}, {4, 30}})
        text += "\n" + table->item(row, 2)->text() + " — до " +
                QDate::currentDate().addDays(days).toString("dd.MM.yyyy") +
                (days ? QString(" (осталось %1 дн.)").arg(days) : " (истекает сегодня)");
    const MessageSpec box = env->dialogs.shown.first().message;
    QCOMPARE(box.text, text);
    QVERIFY(box.parent == w.get() && box.title == "Velmora" && box.icon == QMessageBox::Warning);

    click(*w, "pushButton_sysser"); // neither a refresh nor a later show warns again
    w->hide();
    w->show();
    QTest::qWait(20);
    QCOMPARE(env->dialogs.shown.size(), 1);
}

void TestCertTable::searchKeysAndFittedColumns()
{
    const QString longKey = "HDIMAGE\\Ключ " + QString(40, 'x');
    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({cert("c1", 40)}));
    env->csp.on("certmgr", {"-list", "-store", "uMy"},
                certmgrListing({cert("d1", 40, longKey), cert("d2", 40)}));
    env->csp.on("certmgr", {"-list", "-thumbprint", "d1", "-store", "uMy"}, "Subject : d1");
    auto w = env->startWindow();
    w->show();
    auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    const auto toolTipOver = [table](int column) {
        table->scrollTo(table->model()->index(1, column));
        const QPoint at = table->visualRect(table->model()->index(1, column)).center();
        QHelpEvent help(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QCOMPARE(toolTipOver(6), QString()); // fitted: nothing is cut off
    QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()"); // offscreen
    QCOMPARE(toolTipOver(0), QString("Действует ещё 40 дней")); // what the colour means
    table->setColumnWidth(6, 60);                               // the user narrows it
    QCOMPARE(toolTipOver(6), longKey);
    QVERIFY(table->item(1, 6)->toolTip().isEmpty());
    QTRY_COMPARE(toolTipOver(5), QString());

    table->selectRow(2);
    setText(*w, "lineEdit_certfilter", "ключ"); // the container cell, in another case
    QCOMPARE(visibleThumbprints(table), QStringList{"d1"});
    QVERIFY(table->currentRow() == -1 && table->selectedItems().isEmpty());
    click(*w, "pushButton_sysser");
    QCOMPARE(visibleThumbprints(table), QStringList{"d1"});
    setText(*w, "lineEdit_certfilter", "уц "); // every issuer
    QCOMPARE(visibleThumbprints(table), (QStringList{"c1", "d1", "d2"}));

    QString seen;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget())) {
            watch.stop();
            seen = dialog->findChild<QLabel *>("label_sert")->text();
            click(*dialog, "pushButton_quit");
        }
    });
    watch.start(10);
    table->setCurrentCell(1, 3);
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(seen, "Subject : d1\n");
}

void TestCertTable::columnsFitTheirLongestTexts()
{
    Certs many; // the longest container name far below the 1000 rows Qt itself reads
    for (int i = 0; i < 2400; ++i) // sorted either way, it is the 1200th row
        many << cert(QString("e%1").arg(i, 4, 10, QChar('0')), 40,
                     i == 1200 ? "HDIMAGE\\" + QString(60, 'z') : "HDIMAGE\\k");
    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({}));
    env->csp.on("certmgr", {"-list", "-store", "uMy"}, certmgrListing(many));
    auto w = env->startWindow();
    w->show();
    auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    QList<int> fitted;
    for (int c = 0; c < 7; ++c)
        fitted << table->columnWidth(c);
    table->horizontalHeader()->setResizeContentsPrecision(-1); // Qt's, from every row
    table->resizeColumnsToContents();
    for (int c = 0; c < 7; ++c)
        QCOMPARE(fitted[c], table->columnWidth(c));
}

QTEST_MAIN(TestCertTable)
#include "tst_certtable.moc"
