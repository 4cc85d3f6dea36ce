// The "Создать запрос" button against the stand-in cryptcp: what it receives, what the user
// sees, and what is left in the request file, the log and the saved form.
#include "app/mainwindow.h"
#include "containers/keycontainers.h"
#include "csp/toolrunner.h"
#include "request/requestlog.h"
#include "support/progresswatcher.h"
#include "support/windowtestenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace WindowTest;

class TestRequestCreation : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void workedExample();
    void organisation();
    void variants_data();
    void variants();
    void stopsBeforeTheUtility_data();
    void stopsBeforeTheUtility();
    void utilityFailures_data();
    void utilityFailures();
    void cancelStopsTheRequest();

private:
    // A window with the CSP present and a clean slate after its start-up runs.
    std::unique_ptr<MainWindow> window();
    void fillPerson(MainWindow &w);
    void fillOrganisation(MainWindow &w);
    void press(MainWindow &w) { click(w, "pushButton_req"); }
    static constexpr char request[] = "MIIBtzCCAWQCAQAwgYsx\n";
    // cryptcp with exactly `args` prints `output` and writes the request, as the real one does.
    void answer(const QStringList &args, const QString &output, int finalDelayMs = 0)
    {
        env->csp.addRule(
            {"cryptcp", args, false, output, 0, {}, 0, finalDelayMs, 0, "-exprt", request});
    }
    QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString logPath() const { return logDir->path() + "/genreg.log"; }
    QString savedForm() const { return env->home.path() + "/.velmora-csp/polname.dat"; }

    std::unique_ptr<WindowTestEnv> env;
    std::unique_ptr<QTemporaryDir> logDir;
};

namespace {

const QString usage = QStringLiteral("1.3.6.1.5.5.7.3.2,1.3.6.1.5.5.7.3.4");
const QString personDn =
    QStringLiteral("SN=Иванов,G=Иван Иванович,I=И.И.,CN=Иванов Иван Иванович,T=Инженер,"
                   "E=ivanov@example.ru,SNILS=11223344595,INN=123456789047,L=Самара,C=RU,"
                   "S=63 Самарская область");

QString replaceQuestion(const QString &path)
{
    return "Файл запроса уже существует:\n" + path + "\nЗаменить его?";
}

// An earlier request, as the user may have sent it on: its bytes and modes must survive.
const QByteArray earlierRequest = "-----BEGIN NEW CERTIFICATE REQUEST-----\n";
bool plantEarlierRequest(const QString &path)
{
    QFile earlier(path);
    return earlier.open(QIODevice::WriteOnly) && earlier.write(earlierRequest) > 0 &&
           earlier.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
}

QStringList personArgs(const QString &container, const QString &usages, const QString &path)
{
    return {"-creatrqst", "-dn",     personDn,     "-provtype", "80",     "-both",
            "-cont",      container, "-certusage", usages,      "-exprt", path};
}

} // namespace

void TestRequestCreation::init()
{
    env = std::make_unique<WindowTestEnv>();
    logDir = std::make_unique<QTemporaryDir>();
    RequestLog::setDirectoryForTests(logDir->path());
}

void TestRequestCreation::cleanup()
{
    RequestLog::setDirectoryForTests(QString());
    logDir.reset();
    env.reset();
}

std::unique_ptr<MainWindow> TestRequestCreation::window()
{
    auto w = env->startWindow();
    env->csp.clearRules();
    setComboItems(*w, "comboBox_fd", {"HDIMAGE"});
    QFile::remove(savedForm());
    return w;
}

void TestRequestCreation::fillPerson(MainWindow &w)
{
    setChecked(w, "checkBox_fiz", true);
    setText(w, "lineEdit_SN", "Иванов");
    setText(w, "lineEdit_G", "Иван Иванович");
    setText(w, "lineEdit_I", "И.И.");
    setText(w, "lineEdit_T", "Инженер");
    setText(w, "lineEdit_E", "ivanov@example.ru");
    setText(w, "lineEdit_Snils", "11223344595");
    setText(w, "lineEdit_INN", "123456789047");
    setText(w, "lineEdit_L", "Самара");
    setText(w, "lineEdit_UN", "");
    // Hidden in this mode and never sent.
    setText(w, "lineEdit_O", "ООО Ромашка");
    setText(w, "lineEdit_OU", "Отдел");
    setText(w, "lineEdit_Street", "ул. Ленина, д. 1");
    setText(w, "lineEdit_OGRN", "1027700132195");
    w.findChild<QComboBox *>("comboBox_C")->setCurrentText("RU");
    w.findChild<QComboBox *>("comboBox_S")->setCurrentText("63 Самарская область");
}

void TestRequestCreation::fillOrganisation(MainWindow &w)
{
    fillPerson(w);
    setChecked(w, "checkBox_fiz", false);
    setText(w, "lineEdit_CN", "ООО \"Ромашка\"");
    setText(w, "lineEdit_O", "ООО \"Ромашка\", филиал");
    setText(w, "lineEdit_OU", "Бухгалтерия");
    setText(w, "lineEdit_Street", "ул. Ленина, д. 1");
    setText(w, "lineEdit_INN", "001234567894");
    setText(w, "lineEdit_OGRN", "1027700132195");
}

void TestRequestCreation::workedExample()
{
    auto w = window();
    fillPerson(*w);
    setChecked(*w, "checkBox_pgu", true);
    const QString dir = env->home.path() + "/req dir";
    QVERIFY(QDir().mkpath(dir));
    const QString path = dir + "/Ivanov_Ivan_Ivanovich.req";
    QStringList args =
        personArgs("\\\\.\\HDIMAGE\\Ivanov_Ivan_Ivanovich", "1.2.643.100.113.1," + usage, path);
    args[4] = "75";
    w->findChild<QComboBox *>("comboBox_provtype")
        ->setCurrentText("ГОСТ Р 34.10-2001 (устаревший)");
    answer(args, "Запрос создан.\n[ErrorCode: 0x00000000]\n");
    env->dialogs.directories << dir;
    press(*w);

    QCOMPARE(env->csp.calls().size(), 1);
    QCOMPARE(env->csp.calls().at(0).tool, QString("cryptcp"));
    QCOMPARE(env->csp.calls().at(0).args, args);

    QCOMPARE(env->dialogs.shown.size(), 2);
    QCOMPARE(env->dialogs.shown.at(0).kind, ScriptedDialogs::Kind::Directory);
    const FileDialogSpec spec = env->dialogs.shown.at(0).file;
    QCOMPARE(spec.caption, QString("Выберите директорию для сохранения файла"));
    QCOMPARE(spec.directory, env->home.path());
    QCOMPARE(spec.options, QFileDialog::Options(QFileDialog::ShowDirsOnly));

    const QString shown = "Запрос создан.\n[ErrorCode: 0x00000000]\n\nФаил запроса: " + path + "\n";
    QCOMPARE(env->dialogs.messageTexts(), QStringList{shown});
    QCOMPARE(env->dialogs.shown.at(1).message.icon, QMessageBox::NoIcon);
    QCOMPARE(contents(logPath()), shown.toUtf8());
    QCOMPARE(contents(path), QByteArray(request));
    QVERIFY(QFileInfo::exists(savedForm()));
}

void TestRequestCreation::organisation()
{
    auto w = window();
    fillOrganisation(*w);
    setChecked(*w, "checkBox_egis", true);
    setChecked(*w, "checkBox_pgu", true);
    setComboItems(*w, "comboBox_fd", {"Aktiv Token 00 00"});
    setText(*w, "lineEdit_UN", "Договор 15");
    const QString path = env->home.path() + "/Ivanov_Ivan_Ivanovich.req";
    const QStringList args{
        "-creatrqst",
        "-dn",
        "SN=Иванов,G=Иван Иванович,I=И.И.,CN=ООО Ромашка,"
        "OID.1.2.840.113549.1.9.2=Договор 15,T=Инженер,OU=Бухгалтерия,E=ivanov@example.ru,"
        "O=\"ООО Ромашка, филиал\",STREET=\"ул. Ленина, д. 1\",SNILS=11223344595,"
        "INN=001234567894,OGRN=1027700132195,L=Самара,C=RU,S=63 Самарская область",
        "-provtype",
        "80",
        "-both",
        "-cont",
        "\\\\.\\Aktiv Token 00 00\\Ivanov_Ivan_Ivanovich",
        "-certusage",
        "1.2.643.100.114.2,1.2.643.100.113.1," + usage,
        "-exprt",
        path};
    answer(args, "ok\n");
    env->dialogs.directories << env->home.path();
    press(*w);
    QCOMPARE(env->csp.calls().size(), 1);
    QCOMPARE(env->csp.calls().at(0).args, args);
    QCOMPARE(env->dialogs.messageTexts(), QStringList{"ok\n\nФаил запроса: " + path + "\n"});
}

void TestRequestCreation::variants_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("requestFile");

    const QString dir = QStringLiteral("<home>");
    QTest::newRow("existing container on a reader with blanks; key store not consulted")
        << "existing"
        << QStringList{"-creatrqst",
                       "-dn",
                       personDn,
                       "-provtype",
                       "80",
                       "-both",
                       "-nokeygen",
                       "-cont",
                       "\\\\.\\Aktiv Token 00 00\\le-1f2e",
                       "-certusage",
                       usage,
                       "-exprt",
                       dir + "/Ivanov_Ivan_Ivanovich.req"}
        << "Ivanov_Ivan_Ivanovich.req";
    QTest::newRow("second press asks, then replaces the earlier request")
        << "again"
        << personArgs("\\\\.\\HDIMAGE\\Ivanov_Ivan_Ivanovich", usage,
                      dir + "/Ivanov_Ivan_Ivanovich.req")
        << "Ivanov_Ivan_Ivanovich.req";
    // Key generation waits for the user in the CSP's own windows: no wait cuts it off.
    QTest::newRow("key generation outlasts the usual wait")
        << "slow"
        << personArgs("\\\\.\\HDIMAGE\\Ivanov_Ivan_Ivanovich", usage,
                      dir + "/Ivanov_Ivan_Ivanovich.req")
        << "Ivanov_Ivan_Ivanovich.req";
}

void TestRequestCreation::variants()
{
    QFETCH(QString, variant);
    QFETCH(QStringList, args);
    QFETCH(QString, requestFile);

    auto w = window();
    fillPerson(*w);
    for (QString &a : args)
        a.replace("<home>", env->home.path());
    if (variant == "existing") {
        setChecked(*w, "checkBox_makekey", false);
        setComboItems(*w, "comboBox_fd", {"none"});
        setComboItems(*w, "comboBox_seakeys", {"\\\\.\\Aktiv Token 00 00\\le-1f2e"});
    }
    const QString path = env->home.path() + "/" + requestFile;
    QStringList messages{"ok\n\nФаил запроса: " + path + "\n"};
    if (variant == "again") {
        QVERIFY(plantEarlierRequest(path));
        env->dialogs.buttons << QMessageBox::Yes;
        messages.prepend(replaceQuestion(path));
    }
    answer(args, "ok\n", variant == "slow" ? 45000 : 0);
    env->dialogs.directories << env->home.path();
    press(*w);

    QCOMPARE(env->csp.calls().size(), 1);
    QCOMPARE(env->csp.calls().at(0).args, args);
    QCOMPARE(env->dialogs.messageTexts(), messages);
    const MessageSpec q = env->dialogs.shown.value(1).message;
    QVERIFY(variant != "again" ||
            (q.parent == w.get() && q.title == "Velmora" && q.defaultButton == QMessageBox::No &&
             q.escapeButton == QMessageBox::No));
    QCOMPARE(contents(path), QByteArray(request));
}

void TestRequestCreation::stopsBeforeTheUtility_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("logTruncated");
    QTest::addColumn<bool>("saved");

    QTest::newRow("no key store chosen")
        << "none"
        << QStringList{"Не выбрано хранилище для ключа\nнажмите кнопку \"Найти доступные "
                       "контейниры\"\nвыберите хранилище для ключа."}
        << false << false;
    QTest::newRow("no key store found")
        << "empty" << QStringList{KeyContainers::noKeyStoreMessage()} << false << false;
    QTest::newRow("names without a letter")
        << "letters"
        << QStringList{"Фамилия и имя не содержат букв, из которых можно составить имя файла."}
        << true << true;
    QTest::newRow("validation lists every fault after an empty line")
        << "invalid" << QStringList{"\nНет фамилии (SN)!\nНет доступныйх контейнеров!\n"} << true
        << true;
    QTest::newRow("directory dialog cancelled") << "cancel" << QStringList() << true << true;
    QTest::newRow("earlier request kept: Нет")
        << "keep" << QStringList{replaceQuestion("<home>/Ivanov_Ivan_Ivanovich.req")} << true
        << true;
    QTest::newRow("request file cannot be created")
        << "unwritable" << QStringList{"Выберите другую папку для сохранения запроса"} << true
        << true;
}

void TestRequestCreation::stopsBeforeTheUtility()
{
    QFETCH(QString, variant);
    QFETCH(QStringList, messages);
    QFETCH(bool, logTruncated);
    QFETCH(bool, saved);
    messages.replaceInStrings("<home>", env->home.path());
    const QString path = env->home.path() + "/Ivanov_Ivan_Ivanovich.req";

    {
        QFile old(logPath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous run");
    }
    auto w = window();
    fillPerson(*w);
    if (variant == "none") {
        setComboItems(*w, "comboBox_fd", {"none"});
    } else if (variant == "empty") {
        setComboItems(*w, "comboBox_fd", {});
    } else if (variant == "letters") {
        setText(*w, "lineEdit_SN", "007");
        setText(*w, "lineEdit_G", "№ 1");
    } else if (variant == "invalid") {
        setChecked(*w, "checkBox_makekey", false);
        setComboItems(*w, "comboBox_seakeys", {"none"});
        setText(*w, "lineEdit_SN", "");
    } else if (variant == "unwritable") {
        // A directory under a regular file cannot be written, not even by root.
        QFile plain(env->home.path() + "/plain");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        env->dialogs.directories << env->home.path() + "/plain";
    } else if (variant == "keep") {
        QVERIFY(plantEarlierRequest(path));
        env->dialogs.buttons << QMessageBox::No;
        env->dialogs.directories << env->home.path();
    }
    press(*w);

    QVERIFY(env->csp.calls().isEmpty());
    QCOMPARE(env->dialogs.messageTexts(), messages);
    if (variant == "letters")
        QCOMPARE(env->dialogs.shown.at(0).message.parent, w.get());
    QCOMPARE(contents(logPath()), logTruncated ? QByteArray() : QByteArray("previous run"));
    QCOMPARE(QFileInfo::exists(savedForm()), saved);
    QCOMPARE(contents(path), variant == "keep" ? earlierRequest : QByteArray("<missing>"));
}

void TestRequestCreation::utilityFailures_data()
{
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("earlier"); // an earlier request is there; Да to replacing it

    QTest::newRow("utility missing") << "missing"
                                     << "execvp: No such file or directory" << false;
    QTest::newRow("utility fails: its output, no request")
        << "fails"
        << "Ошибка: 0x80090016\n\nФайл запроса не создан.\n"
        << false;
    QTest::newRow("utility ends with 0 and writes nothing") << "empty"
                                                            << "ok\n\nФайл запроса не создан.\n"
                                                            << false;
    QTest::newRow("utility fails: the earlier request is back")
        << "fails"
        << "Ошибка: 0x80090016\n\nФайл запроса не создан.\n"
        << true;
}

void TestRequestCreation::utilityFailures()
{
    QFETCH(QString, variant);
    QFETCH(QString, shown);
    QFETCH(bool, earlier);
    const QString path = env->home.path() + "/Ivanov_Ivan_Ivanovich.req";

    auto w = window();
    fillPerson(*w);
    StandInRule rule;
    rule.tool = "cryptcp";
    rule.anyArgs = true;
    if (variant == "missing") {
        env->csp.remove("cryptcp");
    } else if (variant == "fails") {
        rule.output = "Ошибка: 0x80090016\n";
        rule.exitCode = 1;
        rule.writeAfter = "-exprt";
        rule.writes = "MII";
    } else if (variant == "empty") {
        rule.output = "ok\n";
    }
    env->csp.addRule(rule);
    env->dialogs.directories << env->home.path();
    if (earlier) {
        QVERIFY(plantEarlierRequest(path));
        env->dialogs.buttons << QMessageBox::Yes;
    }
    press(*w);

    QCOMPARE(env->dialogs.messageTexts(),
             earlier ? QStringList({replaceQuestion(path), shown}) : QStringList{shown});
    QCOMPARE(env->dialogs.shown.last().message.icon, QMessageBox::Warning);
    QCOMPARE(contents(logPath()), shown.toUtf8());
    QCOMPARE(contents(path), earlier ? earlierRequest : QByteArray("<missing>"));
    if (earlier)
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QCOMPARE(QDir(env->home.path()).entryList(QDir::Files | QDir::Hidden),
             earlier ? QStringList{"Ivanov_Ivan_Ivanovich.req"} : QStringList());
}

void TestRequestCreation::cancelStopsTheRequest()
{
    auto w = window();
    fillPerson(*w);
    ToolRunner::setWaitFactorForTests(0.1);
    StandInRule rule;
    rule.tool = "cryptcp";
    rule.anyArgs = true;
    rule.output = "создание ключа...\n";
    rule.finalDelayMs = 200000;
    env->csp.addRule(rule);
    env->dialogs.directories << env->home.path();

    ProgressWatcher watcher{ProgressWatcher::Press::Cancel};
    press(*w);

    QCOMPARE(watcher.firstLine(),
             QString("Создание запроса. Если КриптоПро CSP откроет своё окно, следуйте его "
                     "указаниям."));
    QCOMPARE(env->dialogs.messageTexts(), QStringList());
    QCOMPARE(env->csp.calls().size(), 1);
    QVERIFY(!env->csp.calls().first().finished);
    QVERIFY(!QFile::exists(env->home.path() + "/Ivanov_Ivan_Ivanovich.req"));
}

QTEST_MAIN(TestRequestCreation)
#include "tst_requestcreation.moc"
