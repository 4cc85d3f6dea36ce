// The certificate table, installing certificates and CRLs, and the certificate dialog, through
// the window against the stand-in certmgr.
#include "app/mainwindow.h"
#include "certificates/dialog.h"
#include "csp/toolrunner.h"
#include "support/certlistings.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Calls of the stand-in (the tool's name, then its arguments) or rows of the table.
using Calls = QList<QStringList>;
using Rows = QList<QStringList>;
using Certs = QList<ListedCert>;
Q_DECLARE_METATYPE(Certs)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

using namespace WindowTest;

namespace {

const QStringList listRoot{"-list", "-store", "uRoot"};
const QStringList listMy{"-list", "-store", "uMy"};
const QStringList keysearch{"csptest", "-keyset", "-enum_cont", "-fqcn", "-verifyc"};
const QStringList readersearch{"csptest", "-enum", "-info", "-type", "PP_ENUMREADERS"};
const QString timedOut = QStringLiteral("Process operation timed out");
const QString container = QStringLiteral("\\\\.\\HDIMAGE\\my \"key\"");

ListedCert cert(const QString &thumbprint, int days, const QString &key = QString())
{
    ListedCert c;
    c.thumbprint = thumbprint;
    c.subject = QStringLiteral("SN=Иванов, CN=") + thumbprint;
    c.issuer = QStringLiteral("CN=УЦ ") + thumbprint;
    c.notAfter = validUntil(days);
    c.container = key;
    return c;
}

// The seven cells of the certificate and the colour of its thumbprint cell, as the table should
// show them.
QStringList row(const QString &thumbprint, const QString &store, int days,
                const QString &key = QString())
{
    const ListedCert c = cert(thumbprint, days, key);
    const char *colour = days >= 30   ? "0,255,0,127"
                         : days >= 11 ? "255,255,0,127"
                         : days >= 1  ? "255,150,0,127"
                                      : "255,0,0,127";
    QString shown = thumbprint;
    shown.remove(QRegularExpression("^0x"));
    return {shown,
            store,
            "Иванов, CN=" + thumbprint + " " + thumbprint,
            "УЦ " + thumbprint,
            c.notBefore,
            c.notAfter,
            key.isEmpty() ? "<no cell>" : key,
            colour};
}

// The table as the user sees it: each row's cells, "<no cell>" where there is none, and the
// background of the thumbprint cell.
Rows tableRows(const MainWindow &w)
{
    const auto *table = w.findChild<QTableWidget *>("tableWidgetCert");
    Rows rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 7; ++c) {
            const QTableWidgetItem *item = table->item(r, c);
            cells << (item ? item->text() : QStringLiteral("<no cell>"));
        }
        const QColor bg = table->item(r, 0)->background().color();
        cells << QStringLiteral("%1,%2,%3,%4")
                     .arg(bg.red())
                     .arg(bg.green())
                     .arg(bg.blue())
                     .arg(bg.alpha());
        rows << cells;
    }
    return rows;
}

void selectContainer(MainWindow &w, const QString &name)
{
    auto *combo = w.findChild<QComboBox *>("comboBox_seakeys");
    combo->insertItem(0, name);
    combo->setCurrentIndex(0);
}

// Each call as the tool's name followed by its arguments.
Calls callsOf(const CspStandIn &csp)
{
    Calls calls;
    for (const StandInCall &c : csp.calls())
        calls << (QStringList{c.tool} + c.args);
    return calls;
}

// Runs `inside` on the certificate dialog once it is shown, then closes it; the watch ends with
// the returned timer.
std::unique_ptr<QTimer> whileDialogShown(const std::function<void(Dialog *)> &inside)
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [t = timer.get(), inside] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        t->stop();
        inside(dialog);
        dialog->findChild<QPushButton *>("pushButton_quit")->click();
    });
    timer->start(10);
    return timer;
}

} // namespace

class TestCertificates : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void tableShowsBothStores_data();
    void tableShowsBothStores();
    void sortedRefreshKeepsRowsWhole();
    void installsWithCertmgr_data();
    void installsWithCertmgr();
    void rootStoreQuestion_data();
    void rootStoreQuestion();
    void dialogFromTheTable_data();
    void dialogFromTheTable();
    void dialogFromTheContainer_data();
    void dialogFromTheContainer();

private:
    // A window whose start-up listings print `root` and `my`, with its start-up runs and boxes
    // forgotten.
    std::unique_ptr<MainWindow> window(const Certs &root = {}, const Certs &my = {});

    std::unique_ptr<WindowTestEnv> env;
};

void TestCertificates::init()
{
    env = std::make_unique<WindowTestEnv>();
    QVERIFY(env->csp.isValid());
}

void TestCertificates::cleanup()
{
    env.reset();
}

std::unique_ptr<MainWindow> TestCertificates::window(const Certs &root, const Certs &my)
{
    env->csp.on("certmgr", listRoot, certmgrListing(root));
    env->csp.on("certmgr", listMy, certmgrListing(my));
    return env->startWindow();
}

void TestCertificates::tableShowsBothStores_data()
{
    QTest::addColumn<Certs>("root");
    QTest::addColumn<Certs>("my");
    QTest::addColumn<int>("rootDelayMs"); // 0: prints at once
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<QStringList>("boxes");

    const QString key = QStringLiteral("HDIMAGE\\\\ivanov.000\\1A2B");
    QTest::newRow("uRoot first, every colour")
        << Certs{cert("0xc1", 30), cert("c2", 29), cert("0xc3", 11)}
        << Certs{cert("0xd1", 10, key), cert("d2", 1), cert("d3", 0), cert("d4", -1)} << 0
        << Rows{row("0xc1", "uRoot", 30),    row("c2", "uRoot", 29), row("0xc3", "uRoot", 11),
                row("0xd1", "uMy", 10, key), row("d2", "uMy", 1),    row("d3", "uMy", 0),
                row("d4", "uMy", -1)}
        << QStringList();

    ListedCert unreadable = cert("e1", 100);
    unreadable.notAfter = QStringLiteral("2027-03-15 08:44:55");
    Rows unreadableRow{row("e1", "uMy", 0)};
    unreadableRow[0][5] = unreadable.notAfter;
    QTest::newRow("unreadable date is red")
        << Certs() << Certs{unreadable} << 0 << unreadableRow << QStringList();

    QTest::newRow("uRoot times out, uMy still shown")
        << Certs{cert("c1", 40)} << Certs{cert("d1", 40)} << 60000 << Rows{row("d1", "uMy", 40)}
        << QStringList{timedOut};
}

void TestCertificates::tableShowsBothStores()
{
    QFETCH(Certs, root);
    QFETCH(Certs, my);
    QFETCH(int, rootDelayMs);
    QFETCH(Rows, rows);
    QFETCH(QStringList, boxes);

    StandInRule slowRoot;
    slowRoot.tool = "certmgr";
    slowRoot.args = listRoot;
    slowRoot.output = certmgrListing(root);
    slowRoot.delayMs = rootDelayMs;
    env->csp.addRule(slowRoot);
    env->csp.on("certmgr", listMy, certmgrListing(my));
    MainWindow w(nullptr, env->csp.dir());

    QCOMPARE(tableRows(w), rows);
    QCOMPARE(env->dialogs.messageTexts().mid(0, boxes.size()), boxes);
    QCOMPARE(callsOf(env->csp).mid(0, 2),
             (Calls{QStringList{"certmgr"} + listRoot, QStringList{"certmgr"} + listMy}));
    // A second refresh with the same stores shows the same table, and no further box.
    env->dialogs.shown.clear();
    click(w, "pushButton_sysser");
    QCOMPARE(tableRows(w), rows);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
}

void TestCertificates::sortedRefreshKeepsRowsWhole()
{
    auto w = window({cert("c2", 40), cert("c9", 5)}, {cert("c5", 15), cert("c1", -3)});
    auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    table->sortByColumn(0, Qt::AscendingOrder);
    click(*w, "pushButton_sysser");
    const Rows sorted{row("c1", "uMy", -3), row("c2", "uRoot", 40), row("c5", "uMy", 15),
                      row("c9", "uRoot", 5)};
    QCOMPARE(tableRows(*w), sorted);
    click(*w, "pushButton_sysser");
    QCOMPARE(tableRows(*w), sorted);
}

void TestCertificates::installsWithCertmgr_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("selected"); // empty: "none"
    QTest::addColumn<QString>("file");     // the file picked; empty: cancelled
    QTest::addColumn<QString>("caption");  // of the file dialog; empty: none shown
    QTest::addColumn<Calls>("calls");
    QTest::addColumn<QStringList>("boxes");

    const QString user = QStringLiteral("Выберите файл пользователя");
    const QString root = QStringLiteral("Выберите корневой сертификат удостоверяющего центра");
    const QString crl = QStringLiteral("Выберите файл списка отозванных сертификатов");
    const QString cer = QStringLiteral("/home/u/a b \"c\".cer");
    const QStringList table{"certmgr", "-list", "-store", "uRoot"};
    const QStringList table2{"certmgr", "-list", "-store", "uMy"};
    const QString installed = QStringLiteral("certmgr: installed\n");
    const QString warning = QStringLiteral(
        "Не выбран контейнер. ВНИМАНИЕ:\nсертификат будет установлен\nбез привязки к контейнеру");

    QTest::newRow("user certificate into a container")
        << QByteArray("pushButton_usercer") << container << cer << user
        << Calls{{"certmgr", "-inst", "-file", cer, "-store", "uMy", "-cont", container},
                 table,
                 table2}
        << QStringList{installed};
    QTest::newRow("user certificate without a container")
        << QByteArray("pushButton_usercer") << QString() << cer << user
        << Calls{{"certmgr", "-inst", "-file", cer, "-store", "uMy", "-all"},
                 keysearch,
                 readersearch}
        << QStringList{warning, installed};
    QTest::newRow("user certificate x.pem") << QByteArray("pushButton_usercer") << container
                                            << "/home/u/x.pem" << user << Calls() << QStringList();
    QTest::newRow("user certificate cancelled") << QByteArray("pushButton_usercer") << QString()
                                                << QString() << user << Calls() << QStringList();
    QTest::newRow("container certificate")
        << QByteArray("pushButton_cerkeys") << container << QString() << QString()
        << Calls{{"certmgr", "-inst", "-cont", container, "-store", "uMy"}, table, table2}
        << QStringList{installed};
    QTest::newRow("container certificate, none")
        << QByteArray("pushButton_cerkeys") << QString() << QString() << QString()
        << Calls{keysearch, readersearch} << QStringList{"Не выбран контейнер"};
    QTest::newRow("root ca.p7b") << QByteArray("pushButton_rootkey") << QString()
                                 << "/home/u/c a.p7b" << root
                                 << Calls{{"certmgr", "-inst", "-file", "/home/u/c a.p7b", "-all",
                                           "-store", "uRoot"},
                                          table,
                                          table2}
                                 << QStringList{installed};
    QTest::newRow("root ca.crt")
        << QByteArray("pushButton_rootkey") << QString() << "/home/u/ca.crt" << root
        << Calls{{"certmgr", "-inst", "-file", "/home/u/ca.crt", "-store", "uRoot"}, table, table2}
        << QStringList{installed};
    QTest::newRow("root ca.der refreshes only")
        << QByteArray("pushButton_rootkey") << QString() << "/home/u/ca.der" << root
        << Calls{table, table2} << QStringList();
    QTest::newRow("root cancelled") << QByteArray("pushButton_rootkey") << QString() << QString()
                                    << root << Calls() << QStringList();
    QTest::newRow("crl") << QByteArray("pushButton_CRL") << QString() << "/home/u/l i.crl" << crl
                         << Calls{{"certmgr", "-inst", "-crl", "-file", "/home/u/l i.crl", "-store",
                                   "uCA"}}
                         << QStringList{installed};
    QTest::newRow("crl list.CRL") << QByteArray("pushButton_CRL") << QString() << "/home/u/list.CRL"
                                  << crl << Calls() << QStringList();
}

void TestCertificates::installsWithCertmgr()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, selected);
    QFETCH(QString, file);
    QFETCH(QString, caption);
    QFETCH(Calls, calls);
    QFETCH(QStringList, boxes);

    auto w = window();
    StandInRule install;
    install.tool = "certmgr";
    install.anyArgs = true;
    install.output = "certmgr: installed\n";
    env->csp.addRule(install);
    if (!selected.isEmpty())
        selectContainer(*w, selected);
    env->dialogs.files << file;

    click(*w, button.constData());

    QCOMPARE(callsOf(env->csp), calls);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
    QList<FileDialogSpec> fileDialogs;
    for (const ScriptedDialogs::Shown &s : env->dialogs.shown)
        if (s.kind == ScriptedDialogs::Kind::OpenFile)
            fileDialogs << s.file;
    QCOMPARE(fileDialogs.size(), caption.isEmpty() ? 0 : 1);
    if (!caption.isEmpty()) {
        QCOMPARE(fileDialogs[0].caption, caption);
        QCOMPARE(fileDialogs[0].filter,
                 button == "pushButton_CRL" ? QString("*.crl") : QString("*.p7b *.cer *.crt"));
        QCOMPARE(fileDialogs[0].directory, env->home.path());
        QCOMPARE(fileDialogs[0].parent, w.get());
    }
}

void TestCertificates::rootStoreQuestion_data()
{
    QTest::addColumn<QString>("question"); // printed before the installation waits for an answer
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QStringList>("boxes");

    const QString asks = QStringLiteral(
        "Installing:\nДобавить корневой сертификат Тестовый УЦ?\n(o)OK, (c)Cancel\n");
    QTest::newRow("yes") << asks << QMessageBox::Yes << "o\n"
                         << QStringList{asks.trimmed(), asks + "done\n"};
    QTest::newRow("no") << asks << QMessageBox::No << "c\n"
                        << QStringList{asks.trimmed(), asks + "done\n"};
    QTest::newRow("no question") << QString("Installing:\n") << QMessageBox::Yes << ""
                                 << QStringList{"Installing:\ndone\n"};
}

void TestCertificates::rootStoreQuestion()
{
    QFETCH(QString, question);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, written);
    QFETCH(QStringList, boxes);

    auto w = window();
    StandInRule install;
    install.tool = "certmgr";
    install.args = QStringList{"-inst", "-file", "/h/ca.cer", "-store", "uRoot"};
    install.output = question;
    install.stdinBytes = written.size();
    install.after = "done\n";
    env->csp.addRule(install);
    env->dialogs.files << "/h/ca.cer";
    env->dialogs.buttons << answer;

    click(*w, "pushButton_rootkey");

    QCOMPARE(env->dialogs.messageTexts(), boxes);
    QCOMPARE(env->csp.calls().value(0).stdinText, written);
    if (boxes.size() == 2) {
        const MessageSpec &asked = env->dialogs.shown.at(1).message;
        QCOMPARE(asked.parent, w.get());
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
    }
}

void TestCertificates::dialogFromTheTable_data()
{
    QTest::addColumn<QByteArray>("button"); // pressed in the dialog; empty: none
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<Calls>("calls"); // after the listing
    QTest::addColumn<QStringList>("boxes");

    const QString dir = QStringLiteral("/tmp/o \"u\"");
    QTest::newRow("shows only") << QByteArray() << QString() << QMessageBox::NoButton << Calls()
                                << QStringList();
    QTest::newRow("save") << QByteArray("pushButton_export") << dir << QMessageBox::NoButton
                          << Calls{{"certmgr", "-export", "-cert", "-thumbprint", "d1", "-store",
                                    "uMy", "-dest", dir + "/d1.cer"}}
                          << QStringList{"certmgr: done\n"};
    QTest::newRow("save cancelled") << QByteArray("pushButton_export") << QString()
                                    << QMessageBox::NoButton << Calls() << QStringList();
    QTest::newRow("delete, yes") << QByteArray("pushButton_delcer") << QString() << QMessageBox::Yes
                                 << Calls{{"certmgr", "-delete", "-store", "uMy", "-thumbprint",
                                           "d1"}}
                                 << QStringList{"Удалить сертификат d1 из хранилища uMy?",
                                                "certmgr: done\n"};
    QTest::newRow("delete, no") << QByteArray("pushButton_delcer") << QString() << QMessageBox::No
                                << Calls()
                                << QStringList{"Удалить сертификат d1 из хранилища uMy?"};
}

void TestCertificates::dialogFromTheTable()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, directory);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(Calls, calls);
    QFETCH(QStringList, boxes);

    auto w = window({cert("c1", 40)}, {cert("0xd1", 40)});
    const QString sep(77, '=');
    env->csp.on("certmgr", {"-list", "-thumbprint", "d1", "-store", "uMy"},
                sep + "\nSubject : d1\n" + QString(78, '=') + "\n" + sep + "\n");
    StandInRule other;
    other.tool = "certmgr";
    other.anyArgs = true;
    other.output = "certmgr: done\n";
    env->csp.addRule(other);
    env->dialogs.directories << directory;
    env->dialogs.buttons << answer;

    QString label;
    QStringList visible;
    const auto watch = whileDialogShown([&](Dialog *d) {
        label = d->findChild<QLabel *>("label_sert")->text();
        for (auto *b : d->findChildren<QPushButton *>())
            if (b->isVisibleTo(d))
                visible << b->objectName();
        if (!button.isEmpty())
            d->findChild<QPushButton *>(button.constData())->click();
    });
    auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
    emit table->doubleClicked(table->model()->index(1, 4));

    QCOMPARE(label, "Subject : d1\n" + QString(78, '=') + "\n\n");
    visible.sort();
    QCOMPARE(visible, (QStringList{"pushButton_delcer", "pushButton_export", "pushButton_quit"}));
    const Calls listing{{"certmgr", "-list", "-thumbprint", "d1", "-store", "uMy"}};
    QCOMPARE(callsOf(env->csp), listing + calls);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
    for (const ScriptedDialogs::Shown &s : env->dialogs.shown) {
        if (s.kind == ScriptedDialogs::Kind::Directory) {
            QCOMPARE(s.file.caption, QString("Выберите каталог для сохранения сертификата"));
            QCOMPARE(s.file.directory, QString("/home"));
            QCOMPARE(s.file.options, QFileDialog::ShowDirsOnly);
        }
        if (s.kind == ScriptedDialogs::Kind::Message && s.message.text.startsWith("Удалить")) {
            QCOMPARE(s.message.title, QString("Удаление сертификата"));
            QCOMPARE(s.message.buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }
}

void TestCertificates::dialogFromTheContainer_data()
{
    QTest::addColumn<QString>("selected"); // empty: "none"
    QTest::addColumn<QString>("listing");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("install");
    QTest::addColumn<QString>("label"); // empty: no dialog
    QTest::addColumn<Calls>("calls");
    QTest::addColumn<QStringList>("boxes");

    const QStringList show{"certmgr", "-list", "-cont", container};
    const QStringList inst{"certmgr", "-inst", "-cont", container, "-store", "uMy"};
    QTest::newRow("install") << container << "Subject : x\n"
                             << 0 << true << "Subject : x\n\n"
                             << Calls{show, inst} << QStringList{"certmgr: done\n"};
    QTest::newRow("no certificate")
        << container << "[ErrorCode: 0x8010002c]\n"
        << 0 << false << "[ErrorCode: 0x8010002c]\n\nСертификат в контейнере отсутствует\n\n"
        << Calls{show} << QStringList();
    QTest::newRow("listing times out")
        << container << "late" << 60000 << false << timedOut << Calls{show} << QStringList();
    QTest::newRow("none") << QString() << QString() << 0 << false << QString()
                          << Calls{keysearch, readersearch} << QStringList{"Не выбран контейнер"};
}

void TestCertificates::dialogFromTheContainer()
{
    QFETCH(QString, selected);
    QFETCH(QString, listing);
    QFETCH(int, delayMs);
    QFETCH(bool, install);
    QFETCH(QString, label);
    QFETCH(Calls, calls);
    QFETCH(QStringList, boxes);

    auto w = window();
    StandInRule show;
    show.tool = "certmgr";
    show.args = QStringList{"-list", "-cont", container};
    show.output = listing;
    show.delayMs = delayMs;
    env->csp.addRule(show);
    StandInRule other;
    other.tool = "certmgr";
    other.anyArgs = true;
    other.output = "certmgr: done\n";
    env->csp.addRule(other);
    if (!selected.isEmpty())
        selectContainer(*w, selected);

    QString shown;
    QStringList visible;
    bool opened = false;
    const auto watch = whileDialogShown([&](Dialog *d) {
        opened = true;
        shown = d->findChild<QLabel *>("label_sert")->text();
        for (auto *b : d->findChildren<QPushButton *>())
            if (b->isVisibleTo(d))
                visible << b->objectName();
        if (install)
            d->findChild<QPushButton *>("pushButton_inst")->click();
    });
    click(*w, "pushButton_seakeys");

    QCOMPARE(opened, !label.isEmpty());
    QCOMPARE(shown, label);
    if (opened)
        QCOMPARE(visible, (QStringList{"pushButton_inst", "pushButton_quit"}));
    QCOMPARE(callsOf(env->csp), calls);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
}

QTEST_MAIN(TestCertificates)
#include "tst_certificates.moc"
