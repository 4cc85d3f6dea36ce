// The certificate table, installing certificates and CRLs, and the certificate dialog, through
// the window against the stand-in certmgr.
#include "app/mainwindow.h"
#include "certificates/dialog.h"
#include "csp/toolrunner.h"
#include "support/certtests.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

using namespace WindowTest;
using namespace CertTests;
Q_DECLARE_METATYPE(QMessageBox::StandardButton)

class TestCertificates : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init() { env = std::make_unique<WindowTestEnv>(); }
    void cleanup() { env.reset(); }

    void installsWithCertmgr_data();
    void installsWithCertmgr();
    void certificateDialog_data();
    void certificateDialog();
    void installsEveryContainer_data();
    void installsEveryContainer();

private:
    std::unique_ptr<WindowTestEnv> env;
};

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
