// The certificate table, installing certificates and CRLs, and the certificate dialog, through
// the window against the stand-in certmgr.
#include "app/mainwindow.h"
#include "certificates/dialog.h"
#include "csp/toolrunner.h"
#include "support/certlistings.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace WindowTest;
using Certs = QList<ListedCert>;
Q_DECLARE_METATYPE(Certs)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

const QString key = QStringLiteral("\\\\.\\HDIMAGE\\my \"key\"");
const QString done = QStringLiteral("certmgr: done\n");
const QString timedOut = QStringLiteral("Process operation timed out");
const QStringList refreshed{"certmgr|-list|-store|uRoot", "certmgr|-list|-store|uMy"};
const QStringList searched{"csptest|-keyset|-enum_cont|-fqcn|-verifyc",
                           "csptest|-enum|-info|-type|PP_ENUMREADERS"};

ListedCert cert(const QString &thumbprint, int days, const QString &container = QString())
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
QString row(const QString &thumbprint, const QString &store, int days, const QString &key = "-")
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

QStringList tableRows(const MainWindow &w)
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
QStringList runs(const CspStandIn &csp)
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

QStringList visibleThumbprints(const QTableWidget *table)
{
    QStringList shown;
    for (int r = 0; r < table->rowCount(); ++r)
        if (!table->isRowHidden(r))
            shown << table->item(r, 0)->text();
    return shown;
}

void selectContainer(MainWindow &w, const QString &name)
{
    if (!name.isEmpty())
        setComboItems(w, "comboBox_seakeys", {name, "none"});
}

} // namespace

class TestCertificates : public QObject
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
    void installsWithCertmgr_data();
    void installsWithCertmgr();
    void certificateDialog_data();
    void certificateDialog();
    void expiryWarningOnFirstShow();
    void searchKeysAndFittedColumns();
    void columnsFitTheirLongestTexts();
    void installsEveryContainer_data();
    void installsEveryContainer();

private:
    std::unique_ptr<WindowTestEnv> env;
};

void TestCertificates::tableShowsBothStores_data()
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

void TestCertificates::tableShowsBothStores()
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

void TestCertificates::refreshReplacesEveryCell()
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

void TestCertificates::installsWithCertmgr_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("selected"); // empty: "none"
    QTest::addColumn<QString>("file");     // picked in the file dialog; empty: cancelled
    QTest::addColumn<QString>("question"); // certmgr asks it before it goes on
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("fileDialog"); // caption|filter; empty: none shown
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("boxes");

    const QString user = "Выберите файл пользователя|*.p7b *.cer *.crt";
    const QString root = "Выберите корневой сертификат удостоверяющего центра|*.p7b *.cer *.crt";
    const QString crl = "Выберите файл списка отозванных сертификатов|*.crl";
    const QString cer = "/home/u/a b \"c\".cer";
    const QString warning =
        "Не выбран контейнер. ВНИМАНИЕ:\nсертификат будет установлен\nбез привязки к контейнеру";
    const auto no = QMessageBox::NoButton;
    QTest::newRow("user certificate, container")
        << QByteArray("pushButton_usercer") << key << cer << "" << no << user
        << QStringList{"certmgr|-inst|-file|" + cer + "|-store|uMy|-cont|" + key} + refreshed
        << QStringList{done};
    QTest::newRow("user certificate, none")
        << QByteArray("pushButton_usercer") << "" << cer << "" << no << user
        << QStringList{"certmgr|-inst|-file|" + cer + "|-store|uMy|-all"} + refreshed + searched
        << QStringList{warning, done};
    const QString refused = "Файл не подходит:\n%1\nПринимаются файлы с расширением ";
    QTest::newRow("user certificate, x.pem")
        << QByteArray("pushButton_usercer") << key << "/h/x.pem"
        << "" << no << user << QStringList()
        << QStringList{refused.arg("/h/x.pem") + ".p7b, .cer или .crt."};
    QTest::newRow("user certificate, CERT.CER")
        << QByteArray("pushButton_usercer") << key << "/h/CERT.CER"
        << "" << no << user
        << QStringList{"certmgr|-inst|-file|/h/CERT.CER|-store|uMy|-cont|" + key} + refreshed
        << QStringList{done};
    QTest::newRow("user certificate, cancelled")
        << QByteArray("pushButton_usercer") << key << ""
        << "" << no << user << QStringList() << QStringList();
    QTest::newRow("container certificate")
        << QByteArray("pushButton_cerkeys") << key << ""
        << "" << no << "" << QStringList{"certmgr|-inst|-cont|" + key + "|-store|uMy"} + refreshed
        << QStringList{done};
    QTest::newRow("container certificate, none")
        << QByteArray("pushButton_cerkeys") << ""
        << ""
        << "" << no << "" << searched << QStringList{"Не выбран контейнер"};
    QTest::newRow("every container, none")
        << QByteArray("pushButton_allcerts") << ""
        << ""
        << "" << no << "" << searched << QStringList{"Не выбран контейнер"};
    QTest::newRow("root ca.p7b")
        << QByteArray("pushButton_rootkey") << ""
        << "/h/c a.p7b"
        << "" << no << root
        << QStringList{"certmgr|-inst|-file|/h/c a.p7b|-all|-store|uRoot"} + refreshed
        << QStringList{done};
    const QString asks =
        "Installing:\nДобавить корневой сертификат Тестовый УЦ?\n(o)OK, (c)Cancel\n";
    QTest::newRow("root ca.crt, question, yes")
        << QByteArray("pushButton_rootkey") << ""
        << "/h/ca.crt" << asks << QMessageBox::Yes << root
        << QStringList{"certmgr|-inst|-file|/h/ca.crt|-store|uRoot <o\n"} + refreshed
        << QStringList{asks.trimmed(), asks + done};
    QTest::newRow("root ca.cer, question, no")
        << QByteArray("pushButton_rootkey") << ""
        << "/h/ca.cer" << asks << QMessageBox::No << root
        << QStringList{"certmgr|-inst|-file|/h/ca.cer|-store|uRoot <c\n"} + refreshed
        << QStringList{asks.trimmed(), asks + done};
    QTest::newRow("root CA.P7B") << QByteArray("pushButton_rootkey") << ""
                                 << "/h/CA.P7B"
                                 << "" << no << root
                                 << QStringList{"certmgr|-inst|-file|/h/CA.P7B|-all|-store|uRoot"} +
                                        refreshed
                                 << QStringList{done};
    QTest::newRow("root ca.der refused, refreshed")
        << QByteArray("pushButton_rootkey") << ""
        << "/h/ca.der"
        << "" << no << root << refreshed
        << QStringList{refused.arg("/h/ca.der") + ".p7b, .cer или .crt."};
    QTest::newRow("root cancelled") << QByteArray("pushButton_rootkey") << ""
                                    << ""
                                    << "" << no << root << QStringList() << QStringList();
    QTest::newRow("crl") << QByteArray("pushButton_CRL") << ""
                         << "/h/l i.crl"
                         << "" << no << crl
                         << QStringList{"certmgr|-inst|-crl|-file|/h/l i.crl|-store|uCA"}
                         << QStringList{done};
    QTest::newRow("crl list.CRL") << QByteArray("pushButton_CRL") << ""
                                  << "/h/list.CRL"
                                  << "" << no << crl
                                  << QStringList{"certmgr|-inst|-crl|-file|/h/list.CRL|-store|uCA"}
                                  << QStringList{done};
    QTest::newRow("crl list.crl.txt refused")
        << QByteArray("pushButton_CRL") << ""
        << "/h/list.crl.txt"
        << "" << no << crl << QStringList()
        << QStringList{refused.arg("/h/list.crl.txt") + ".crl."};
}

void TestCertificates::installsWithCertmgr()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, selected);
    QFETCH(QString, file);
    QFETCH(QString, question);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, fileDialog);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, boxes);

    auto w = env->startWindow();
    for (const char *store : {"uRoot", "uMy"}) // ahead of the rule for everything else
        env->csp.on("certmgr", {"-list", "-store", store}, certmgrListing({}));
    StandInRule install;
    install.tool = "certmgr";
    install.anyArgs = true;
    install.output = question.isEmpty() ? done : question;
    install.stdinBytes = question.isEmpty() ? 0 : 2;
    install.after = question.isEmpty() ? "" : done;
    env->csp.addRule(install);
    selectContainer(*w, selected);
    env->dialogs.files << file;
    env->dialogs.buttons << answer;

    click(*w, button.constData());

    QCOMPARE(runs(env->csp), calls);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
    QStringList fileDialogs;
    for (const ScriptedDialogs::Shown &s : env->dialogs.shown) {
        if (s.kind == ScriptedDialogs::Kind::OpenFile) {
            fileDialogs << s.file.caption + "|" + s.file.filter;
            QCOMPARE(s.file.directory, env->home.path());
            QCOMPARE(s.file.parent, w.get());
        }
        if (s.message.buttons == (QMessageBox::Yes | QMessageBox::No)) {
            QCOMPARE(s.message.parent, w.get());
            QCOMPARE(s.message.informativeText, "Да — установить сертификат в хранилище корневых "
                                                "сертификатов, Нет — не устанавливать.");
        }
    }
    QCOMPARE(fileDialogs.join(""), fileDialog);
}

void TestCertificates::certificateDialog_data()
{
    QTest::addColumn<bool>("fromTable"); // else from the container button
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<QByteArray>("button"); // pressed in the dialog
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("shown"); // the label and the buttons; empty: no dialog
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("boxes");

    const QString sep(77, '=');
    const QString listing = sep + "\nSubject : d1\n" + QString(78, '=') + "\n" + sep + "\n";
    const QString label = "Subject : d1\n" + QString(78, '=') + "\n\n";
    const QString installed = label + "pushButton_delcer|pushButton_export|pushButton_quit";
    const QString show = "certmgr|-list|-thumbprint|d1|-store|uMy";
    const QString ask = "Удалить сертификат d1 из хранилища uMy?";
    const auto no = QMessageBox::NoButton;
    QTest::newRow("installed, shown") << true << "" << listing << 0 << QByteArray() << "" << no
                                      << installed << QStringList{show} << QStringList();
    QTest::newRow("installed, saved")
        << true << "" << listing << 0 << QByteArray("pushButton_export") << "/tmp/o \"u\"" << no
        << installed
        << QStringList{show,
                       "certmgr|-export|-cert|-thumbprint|d1|-store|uMy|-dest|/tmp/o \"u\"/d1.cer"}
        << QStringList{done};
    QTest::newRow("installed, saving cancelled")
        << true << "" << listing << 0 << QByteArray("pushButton_export") << "" << no << installed
        << QStringList{show} << QStringList();
    QTest::newRow("installed, deleted")
        << true << "" << listing << 0 << QByteArray("pushButton_delcer") << "" << QMessageBox::Yes
        << installed << QStringList{show, "certmgr|-delete|-store|uMy|-thumbprint|d1"} + refreshed
        << QStringList{ask, done};
    QTest::newRow("installed, deletion failed")
        << true << "" << listing << 0 << QByteArray("pushButton_delcer") << "" << QMessageBox::Yes
        << installed << QStringList{show, "certmgr|-delete|-store|uMy|-thumbprint|d1"}
        << QStringList{ask, "refused\n"};
    QTest::newRow("installed, not deleted")
        << true << "" << listing << 0 << QByteArray("pushButton_delcer") << "" << QMessageBox::No
        << installed << QStringList{show} << QStringList{ask};

    const QString showKey = "certmgr|-list|-cont|" + key;
    const QString buttons = "pushButton_inst|pushButton_quit";
    QTest::newRow("container, installed")
        << false << key << "Subject : x" << 0 << QByteArray("pushButton_inst") << "" << no
        << "Subject : x\n" + buttons
        << QStringList{showKey, "certmgr|-inst|-cont|" + key + "|-store|uMy"} << QStringList{done};
    QTest::newRow("container without certificate")
        << false << key << "[ErrorCode: 0x8010002c]\n"
        << 0 << QByteArray() << "" << no
        << "[ErrorCode: 0x8010002c]\n\nСертификат в контейнере отсутствует\n\n" + buttons
        << QStringList{showKey} << QStringList();
    QTest::newRow("container listing times out")
        << false << key << "late" << 60000 << QByteArray() << "" << no << timedOut + buttons
        << QStringList{showKey} << QStringList();
    QTest::newRow("container none") << false << ""
                                    << "" << 0 << QByteArray() << "" << no << "" << searched
                                    << QStringList{"Не выбран контейнер"};
}

void TestCertificates::certificateDialog()
{
    QFETCH(bool, fromTable);
    QFETCH(QString, selected);
    QFETCH(QString, listing);
    QFETCH(int, delayMs);
    QFETCH(QByteArray, button);
    QFETCH(QString, directory);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, shown);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, boxes);

    env->csp.on("certmgr", {"-list", "-store", "uRoot"}, certmgrListing({cert("c1", 40)}));
    env->csp.on("certmgr", {"-list", "-store", "uMy"}, certmgrListing({cert("0xd1", 40)}));
    auto w = env->startWindow();
    StandInRule show;
    show.tool = "certmgr";
    show.args = fromTable ? QStringList{"-list", "-thumbprint", "d1", "-store", "uMy"}
                          : QStringList{"-list", "-cont", key};
    show.output = listing;
    show.delayMs = delayMs;
    env->csp.addRule(show);
    env->csp.on(
        "certmgr",
        {"-export", "-cert", "-thumbprint", "d1", "-store", "uMy", "-dest", directory + "/d1.cer"},
        done);
    const bool refused = boxes.contains("refused\n");
    env->csp.on("certmgr", {"-delete", "-store", "uMy", "-thumbprint", "d1"},
                refused ? "refused\n" : done, refused ? 1 : 0);
    env->csp.on("certmgr", {"-inst", "-cont", key, "-store", "uMy"}, done);
    selectContainer(*w, selected);
    env->dialogs.directories << directory;
    env->dialogs.buttons << answer;

    // Once the dialog is up: read it, press the button, close it.
    QString seen;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        watch.stop();
        QStringList visible;
        for (auto *b : dialog->findChildren<QPushButton *>())
            if (b->isVisibleTo(dialog))
                visible << b->objectName();
        visible.sort();
        seen = dialog->findChild<QLabel *>("label_sert")->text() + visible.join('|');
        if (!button.isEmpty())
            dialog->findChild<QPushButton *>(button.constData())->click();
        click(*dialog, "pushButton_quit");
    });
    watch.start(10);
    if (fromTable) {
        auto *table = w->findChild<QTableWidget *>("tableWidgetCert");
        emit table->doubleClicked(table->model()->index(1, 4));
    } else {
        click(*w, "pushButton_seakeys");
    }

    QCOMPARE(seen, shown);
    QCOMPARE(runs(env->csp), calls);
    QCOMPARE(env->dialogs.messageTexts(), boxes);
    for (const ScriptedDialogs::Shown &s : env->dialogs.shown) {
        if (s.kind == ScriptedDialogs::Kind::Directory)
            QCOMPARE(s.file.caption + "|" + s.file.directory + "|" +
                         QString::number(s.file.options),
                     QString("Выберите каталог для сохранения сертификата|/home|1"));
        if (s.message.buttons == (QMessageBox::Yes | QMessageBox::No)) {
            QCOMPARE(s.message.title, QString("Удаление сертификата"));
            QCOMPARE(s.message.defaultButton, QMessageBox::No);
            QCOMPARE(s.message.escapeButton, QMessageBox::No);
        }
    }
}

void TestCertificates::expiryWarningOnFirstShow()
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

void TestCertificates::searchKeysAndFittedColumns()
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

void TestCertificates::columnsFitTheirLongestTexts()
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

void TestCertificates::installsEveryContainer_data()
{
    QTest::addColumn<bool>("cancelSecond"); // else the second fails
    QTest::newRow("the second fails") << false;
    QTest::newRow("Отмена on the second") << true;
}

void TestCertificates::installsEveryContainer()
{
    QFETCH(bool, cancelSecond);
    const QString a = "\\\\.\\HDIMAGE\\a b", c = "\\\\.\\FLASH\\c";
    auto w = env->startWindow();
    if (cancelSecond) // the progress window comes after 500 ms, long before the 30 s wait ends
        ToolRunner::setWaitFactorForTests(0.1);
    for (const char *store : {"uRoot", "uMy"})
        env->csp.on("certmgr", {"-list", "-store", store}, certmgrListing({}));
    StandInRule second;
    second.tool = "certmgr";
    second.args = QStringList{"-inst", "-cont", key, "-store", "uMy"};
    second.output = "no such container";
    second.exitCode = 2;
    second.delayMs = cancelSecond ? 20000 : 0;
    env->csp.addRule(second);
    for (const QString &k : {a, c})
        env->csp.on("certmgr", {"-inst", "-cont", k, "-store", "uMy"}, done);
    setComboItems(*w, "comboBox_seakeys", {a, key, c, "none"});
    ProgressWatcher watcher(cancelSecond ? ProgressWatcher::Press::Cancel
                                         : ProgressWatcher::Press::Nothing);

    click(*w, "pushButton_allcerts");

    const auto inst = [](const QString &k) { return "certmgr|-inst|-cont|" + k + "|-store|uMy"; };
    QCOMPARE(runs(env->csp), QStringList({inst(a), inst(key)}) +
                                 (cancelSecond ? QStringList() : QStringList{inst(c)}) + refreshed);
    QCOMPARE(env->dialogs.shown.size(), 1);
    const MessageSpec &box = env->dialogs.shown.first().message;
    QCOMPARE(box.text, a + " — готово\n" + key + (cancelSecond ? " — отменено\n" : " — ошибка\n") +
                           c + (cancelSecond ? " — отменено" : " — готово"));
    const QString details = a + ":\nСертификат установлен.\n" + done + "\n" + key;
    QCOMPARE(box.detailedText,
             cancelSecond ? details + ":\nНе выполнено.\n\n" + c + ":\nНе выполнено.\n"
                          : details + ":\nНе выполнено.\nКод завершения: 2\nno such container\n\n" +
                                c + ":\nСертификат установлен.\n" + done);
    QCOMPARE(box.informativeText, cancelSecond ? "Не выполнено: 2 из 3." : "Не выполнено: 1 из 3.");
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY(box.parent == w.get() && box.title == "Velmora");
    if (cancelSecond)
        QCOMPARE(watcher.firstLine(), "Установка сертификатов контейнера 2 из 3: " + key);
}

QTEST_MAIN(TestCertificates)
#include "tst_certificates.moc"
