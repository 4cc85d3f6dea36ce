// The system check: what each check makes of the utilities' outputs, and the dialog.
#include "app/mainwindow.h"
#include "csp/csperrors.h"
#include "support/certlistings.h"
#include "support/windowtestenv.h"
#include "systemcheck/checks.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace SystemChecks;

namespace {

const QString banner = "CSP (Type:80) v5.0.10010 KC1 Release Ver:5.0.12455 OS:Linux CPU:AMD64 "
                       "FastCode:READY:AVX.\n";
const QString headRoot = "0x2F0CB09BE3550EF17EC4F29C90ABD18BFCAAD63A";
const QString earlierRoot = "8cae88bbfd404a7a53630864f9033606e1dc45e2";
const QString expiredLicense = "Error code:3\nLicense validity:\nXXXXX-XXXXX-XXXXX-XXXXX-XXXXX\n"
                               "License is expired or not yet valid\n";

QString rootListing(const QString &thumbprint, const QString &label = "SHA1 Hash")
{
    ListedCert cert;
    cert.thumbprint = thumbprint;
    cert.thumbprintLabel = label;
    return certmgrListing({ListedCert(), cert});
}

QString personalListing(const QList<int> &daysLeftWithKey, int withoutKey = 0)
{
    QList<ListedCert> certs;
    for (int days : daysLeftWithKey) {
        ListedCert c;
        c.notAfter = validUntil(days);
        c.container = "\\\\.\\HDIMAGE\\key";
        certs << c;
    }
    for (int i = 0; i < withoutKey; ++i)
        certs << ListedCert();
    return certmgrListing(certs);
}

Row rowFor(const QString &check, const ToolResult &run)
{
    if (check == "КриптоПро CSP")
        return cspRow(true, run, {});
    if (check == "Лицензия")
        return licenseRow(run);
    if (check == "Считыватели")
        return readersRow(run);
    if (check == "Корневой")
        return rootRow(run);
    return personalRow(run, QDate::currentDate());
}

} // namespace

class TestSystemCheck : public QObject
{
    Q_OBJECT

private slots:
    void readsOutputs_data();
    void readsOutputs();
    void dialog_data();
    void dialog();
};

void TestSystemCheck::readsOutputs_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("output");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("result");
    QTest::addColumn<int>("state");
    const int fine = int(State::Fine), warning = int(State::Warning), failure = int(State::Failure);

    QTest::newRow("banner with version")
        << "КриптоПро CSP" << banner << 0 << "установлен, версия 5.0.12455" << fine;
    QTest::newRow("banner without version")
        << "КриптоПро CSP"
        << "CSP (Type:80) v5.0.10010 KC1 OS:Linux\n[ErrorCode: 0x00000000]\n"
        << 0 << "установлен" << fine;
    QTest::newRow("partial installation")
        << "КриптоПро CSP" << banner + "Тип поставщика не определен\n[ErrorCode: 0x80090017]\n"
        << 23
        << "установлен не полностью\nПричина: " + CspErrors::find(0x80090017)->meaning +
               "\nКод ошибки: 0x80090017"
        << failure;
    QTest::newRow("licence valid") << "Лицензия"
                                   << "License validity:\nPermanent\n"
                                   << 0 << "действует" << fine;
    QTest::newRow("licence with days left")
        << "Лицензия"
        << "License validity:\n4040A-XXXXX\nExpires: 80 day(s)\n"
        << 0 << "действует, осталось дней: 80" << fine;
    QTest::newRow("licence expired")
        << "Лицензия" << expiredLicense << 3 << "срок истёк или ещё не начался" << warning;
    QTest::newRow("licence unreadable")
        << "Лицензия"
        << "Error\n"
        << 1 << "не удалось проверить\nКод завершения: 1" << warning;
    QTest::newRow("readers of both layouts")
        << "Считыватели"
        << " 0x00000000    HDIMAGE\n0x012a 0x03 Aktiv Rutoken lite 00 00\n"
        << 0 << "найдено: 2 (HDIMAGE, Aktiv Rutoken lite 00 00)" << fine;
    QTest::newRow("no reader, no service")
        << "Считыватели"
        << "[ErrorCode: 0x8010001d]\n"
        << 29
        << "не найдено ни одного\nПричина: " + CspErrors::find(0x8010001d)->meaning +
               "\nКод ошибки: 0x8010001d"
        << warning;
    QTest::newRow("head root, SHA1 Hash, 0x")
        << "Корневой" << rootListing(headRoot) << 0 << "установлен" << fine;
    QTest::newRow("earlier root, SHA1 Thumbprint, small letters")
        << "Корневой" << rootListing(earlierRoot, "SHA1 Thumbprint") << 0 << "установлен" << fine;
    QTest::newRow("root absent") << "Корневой" << rootListing(headRoot.left(41) + "B") << 0
                                 << "не установлен" << warning;
    QTest::newRow("personal, all valid")
        << "Личные" << personalListing({31, 400}, 1) << 0
        << "с закрытым ключом: 2, из них истекают в ближайшие 30 дней: 0, истекли: 0" << fine;
    QTest::newRow("personal, expiring and expired")
        << "Личные" << personalListing({30, 0, -1, 90}) << 0
        << "с закрытым ключом: 4, из них истекают в ближайшие 30 дней: 2, истекли: 1" << warning;
    QTest::newRow("personal, none with a key") << "Личные" << personalListing({}, 2) << 0
                                               << "нет сертификатов с закрытым ключом" << warning;
}

void TestSystemCheck::readsOutputs()
{
    QFETCH(QString, check);
    QFETCH(QString, output);
    QFETCH(int, exitCode);
    QFETCH(QString, result);
    QFETCH(int, state);
    const Row row = rowFor(check, {ToolResult::Outcome::Ended, output, {}, exitCode, {}});
    QCOMPARE(row.result, result);
    QCOMPARE(int(row.state), state);
    QCOMPARE(row.step.isEmpty(), row.state == State::Fine);
}

void TestSystemCheck::dialog_data()
{
    QTest::addColumn<int>("machine"); // 0: in order, 1: with faults, 2: without the CSP
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("colours"); // a letter per row: Fine, Warning, failure (X)
    const QStringList fine{
        "КриптоПро CSP — установлен, версия 5.0.12455",
        "Лицензия — действует, осталось дней: 80",
        "Служба смарт-карт — работает",
        "Считыватели — найдено: 1 (Aktiv Rutoken lite 00 00)",
        "Контейнеры — найдено: 1",
        "Корневой сертификат Минцифры — установлен",
        "Личные сертификаты — с закрытым ключом: 1, из них истекают в ближайшие 30 дней: 0, "
        "истекли: 0",
        "xterm — установлен"};
    QTest::newRow("everything fine") << 0 << fine << "FFFFFFFF";
    QStringList faulty = fine;
    faulty[1] = "Лицензия — срок истёк или ещё не начался — Введите серийный номер действующей "
                "лицензии: от имени root cpconfig -license -set НОМЕР.";
    faulty[2] = "Служба смарт-карт — не найдена — Установите пакеты pcscd и libccid и включите "
                "службу: systemctl enable --now pcscd.socket";
    faulty[5] = "Корневой сертификат Минцифры — не установлен — Скачайте корневой сертификат "
                "Минцифры и установите его кнопкой «Установить корневой сертификат».";
    faulty[7] = "xterm — не установлен — Установите пакет xterm: в нём установщик запускает свои "
                "сценарии.";
    QTest::newRow("licence expired, no pcscd, no root, no xterm") << 1 << faulty << "FWXFFWFW";
    QStringList none = faulty;
    none[0] = "КриптоПро CSP — не установлен — Установите КриптоПро CSP кнопкой «КриптоПро "
              "(amd64):».";
    for (int row : {1, 3, 4, 5, 6})
        none[row] = fine[row].section(" — ", 0, 0) +
                    " — нет КриптоПро CSP — Сначала установите КриптоПро CSP.";
    QTest::newRow("no CSP: nothing of it runs") << 2 << none << "XWXWWWWW";
}

void TestSystemCheck::dialog()
{
    QFETCH(int, machine);
    const bool faults = machine > 0;
    QFETCH(QStringList, rows);
    QFETCH(QString, colours);
    WindowTestEnv env;
    // The socket and xterm are looked for where the test says, never on this machine.
    const QString socket = env.home.path() + "/pcscd.comm";
    const QString path = env.home.path() + "/bin";
    QVERIFY(QDir().mkpath(path));
    if (!faults) {
        QFile(socket).open(QIODevice::WriteOnly);
        QFile xterm(path + "/xterm");
        QVERIFY(xterm.open(QIODevice::WriteOnly));
        QVERIFY(xterm.setPermissions(xterm.permissions() | QFile::ExeOwner));
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", path.toUtf8());
    qputenv("PCSCLITE_CSOCK_NAME", socket.toUtf8());
    env.csp.on("csptest", {"-keyset", "-verifycontext"}, banner + "[ErrorCode: 0x00000000]\n");
    env.csp.on("cpconfig", {"-license", "-view"},
               faults ? expiredLicense : "License validity:\nXXXXX\nExpires: 80 day(s)\n",
               faults ? 3 : 0);
    env.csp.on("csptest", {"-keyset", "-enum_cont", "-fqcn", "-verifyc"},
               "\\\\.\\HDIMAGE\\key\n[ErrorCode: 0x00000000]\n");
    env.csp.on("csptest", {"-enum", "-info", "-type", "PP_ENUMREADERS"},
               "0x012a 0x03 Aktiv Rutoken lite 00 00\n[ErrorCode: 0x00000000]\n");
    env.csp.on("certmgr", {"-list", "-store", "uRoot"},
               faults ? certmgrListing({}) : rootListing(headRoot));
    env.csp.on("certmgr", {"-list", "-store", "uMy"}, personalListing({200}));
    if (machine == 2) {
        env.csp.remove("csptest");
        env.csp.remove("cryptcp"); // the window's "НЕТ": the button works all the same
    }
    auto window = env.startWindow();

    WindowTest::click(*window, "pushButton_syscheck");
    qputenv("PATH", oldPath);
    qunsetenv("PCSCLITE_CSOCK_NAME");

    QPointer<QDialog> check = window->findChild<QDialog *>("systemCheck");
    QVERIFY(check && check->isVisible() && check->windowTitle() == "Проверка системы");
    const auto *table = check->findChild<QTableWidget *>("tableWidget_checks");
    QStringList shown;
    QString shownColours;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells{table->item(r, 0)->text(), table->item(r, 1)->text()};
        if (!table->item(r, 2)->text().isEmpty())
            cells << table->item(r, 2)->text();
        shown << cells.join(" — ");
        const QColor c = table->item(r, 1)->background().color();
        shownColours += c.green() > c.red() ? 'F' : c.green() > c.blue() + 40 ? 'W' : 'X';
    }
    QCOMPARE(shown, rows);
    QCOMPARE(shownColours, colours);
    QCOMPARE(env.csp.calls().size(), machine == 2 ? 0 : 6);

    check->findChild<QPushButton *>("pushButton_copyreport")->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), rows.join('\n') + '\n');

    if (faults)
        check->findChild<QPushButton *>("pushButton_close")->click();
    else
        QTest::keyClick(check, Qt::Key_Escape);
    QTRY_VERIFY(!check);
}

QTEST_MAIN(TestSystemCheck)
#include "tst_systemcheck.moc"
