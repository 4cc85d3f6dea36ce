// The request form in the window: the private-person switch, fields that follow each other,
// validation read from the widgets, and the form saved by "Выход" and restored at start-up.
#include "app/mainwindow.h"
#include "request/formfile.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The 27 saved keys and their fields.
const QList<QPair<QString, QString>> savedFields{
    {"SN", "lineEdit_SN"},
    {"G", "lineEdit_G"},
    {"I", "lineEdit_I"},
    {"CN", "lineEdit_CN"},
    {"OID.1.2.840.113549.1.9.2", "lineEdit_UN"},
    {"T", "lineEdit_T"},
    {"OU", "lineEdit_OU"},
    {"O", "lineEdit_O"},
    {"STREET", "lineEdit_Street"},
    {"E", "lineEdit_E"},
    {"SNILS", "lineEdit_Snils"},
    {"INN", "lineEdit_INN"},
    {"OGRN", "lineEdit_OGRN"},
    {"L", "lineEdit_L"},
    {"passportser", "lineEdit_pasp_ser"},
    {"passport", "lineEdit_pasport"},
    {"data", "lineEdit_data"},
    {"issued", "lineEdit_issued"},
    {"authorized", "lineEdit_authorized"},
    {"authorfull", "lineEdit_author_full"},
    {"authorT", "lineEdit_authorized_r"},
    {"authorPs", "lineEdit_pasp_ser_aut"},
    {"authorP", "lineEdit_paspaut"},
    {"authorD", "lineEdit_pasdata"},
    {"authorIs", "lineEdit_pasissued"},
    {"post", "lineEdit_post"},
    {"boss", "lineEdit_boss"},
};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TestRequestForm : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void privatePersonSwitch();
    void fieldsFollow_data();
    void fieldsFollow();
    void validationReadsTheForm();
    void snilsAsPeopleWriteIt_data();
    void snilsAsPeopleWriteIt();
    void startsEmptyAndQuitSavesEveryKey_data();
    void startsEmptyAndQuitSavesEveryKey();
    void savedFormComesBack();
    void unknownKeySurvives();
    void closingOtherwiseSavesNothing();
    void failedSaveKeepsThePreviousFile_data();
    void failedSaveKeepsThePreviousFile();
    void settingsDirectoryCannotBeCreated();
    void savedOnlyInADirectoryOfOurOwn_data();
    void savedOnlyInADirectoryOfOurOwn();

private:
    std::unique_ptr<MainWindow> window();
    QLineEdit *edit(const char *name) { return w->findChild<QLineEdit *>(name); }
    QString filePath() const { return formFilePath(env->home.path()); }
    // The boxes after "Выход" when the save failed: what was not saved and why, then the close
    // question, since nothing counts as saved.
    void expectFailedSave(const QString &path, const QString &reason);

    std::unique_ptr<WindowTestEnv> env;
    std::unique_ptr<MainWindow> w;
};

void TestRequestForm::init()
{
    env = std::make_unique<WindowTestEnv>();
    env->csp.remove("cryptcp");
}

void TestRequestForm::cleanup()
{
    w.reset();
    env.reset();
}

std::unique_ptr<MainWindow> TestRequestForm::window()
{
    return std::make_unique<MainWindow>(nullptr, env->csp.dir());
}

void TestRequestForm::privatePersonSwitch()
{
    w = window();
    auto *fiz = w->findChild<QCheckBox *>("checkBox_fiz");
    auto *labelCN = w->findChild<QLabel *>("label_CN");
    auto *labelINN = w->findChild<QLabel *>("label_INN");
    const QStringList organisationOnly{"lineEdit_OU",   "label_OU",       "lineEdit_O",
                                       "lineEdit_OGRN", "label_O",        "label_OGRN",
                                       "label_Street",  "lineEdit_Street"};
    auto hidden = [&] {
        QStringList names;
        for (const QString &name : organisationOnly)
            if (w->findChild<QWidget *>(name)->isHidden())
                names << name;
        return names;
    };
    edit("lineEdit_O")->setText("ООО Ромашка");

    // Setting the state by code is not a click.
    fiz->setChecked(true);
    QCOMPARE(hidden(), QStringList());
    fiz->setChecked(false);

    fiz->click();
    QCOMPARE(hidden(), organisationOnly);
    QCOMPARE(labelCN->text(), QString("ФИО (CN):"));
    QCOMPARE(labelINN->text(), QString("ИНН ФИЗЛ (INN):"));
    QVERIFY(edit("lineEdit_O")->isEnabled());

    fiz->click();
    QCOMPARE(hidden(), QStringList());
    QCOMPARE(labelCN->text(), QString("Наименовние организации (CN):"));
    QCOMPARE(labelINN->text(), QString("ИНН ЮРЛ (INN):"));
    QCOMPARE(edit("lineEdit_O")->text(), QString("ООО Ромашка"));
}

void TestRequestForm::fieldsFollow_data()
{
    QTest::addColumn<bool>("privatePerson");
    QTest::addColumn<QStringList>("steps"); // field, text, field, text... applied in order
    QTest::addColumn<QString>("cn");
    QTest::addColumn<QString>("o");

    QTest::newRow("organisation: O mirrors CN")
        << false << QStringList{"CN", "ООО Ромашка"} << "ООО Ромашка"
        << "ООО Ромашка";
    QTest::newRow("organisation: SN and G leave CN alone")
        << false << QStringList{"CN", "А", "SN", "Иванов", "G", "Иван"} << "А"
        << "А";
    QTest::newRow("person: surname then names")
        << true << QStringList{"SN", "Иванов", "G", "Иван Иванович"} << "Иванов Иван Иванович"
        << "";
    QTest::newRow("person: G cleared leaves a trailing space")
        << true << QStringList{"G", "Иван", "SN", "Иванов", "G", ""} << "Иванов "
        << "";
    QTest::newRow("person: G only") << true << QStringList{"G", "Иван"} << " Иван"
                                    << "";
    QTest::newRow("person: CN typed is not copied to O")
        << true << QStringList{"CN", "Петров"} << "Петров"
        << "";
}

void TestRequestForm::fieldsFollow()
{
    QFETCH(bool, privatePerson);
    QFETCH(QStringList, steps);
    QFETCH(QString, cn);
    QFETCH(QString, o);
    w = window();
    if (privatePerson)
        w->findChild<QCheckBox *>("checkBox_fiz")->click();
    for (int n = 0; n + 1 < steps.size(); n += 2) {
        edit(qPrintable("lineEdit_" + steps[n]))->setText(steps[n + 1]);
    }
    QCOMPARE(edit("lineEdit_CN")->text(), cn);
    QCOMPARE(edit("lineEdit_O")->text(), o);
}

void TestRequestForm::validationReadsTheForm()
{
    w = window();
    w->findChild<QCheckBox *>("checkBox_fiz")->click();
    QString messages = "\n";
    QVERIFY(!w->ErrorsInspection(messages));
    QCOMPARE(messages.count('\n'), 1 + 9);

    const QList<QPair<const char *, QString>> valid{
        {"lineEdit_SN", "Иванов"},        {"lineEdit_G", "Иван Иванович"},
        {"lineEdit_I", "И.И."},           {"lineEdit_T", "Инженер"},
        {"lineEdit_E", "i@mail.ru"},      {"lineEdit_Snils", "11223344595"},
        {"lineEdit_INN", "123456789047"}, {"lineEdit_L", "Саратов"}};
    for (const auto &field : valid)
        edit(field.first)->setText(field.second);
    messages.clear();
    QVERIFY(w->ErrorsInspection(messages));
    QCOMPARE(messages, QString());

    // An existing container is wanted but none is listed.
    w->findChild<QCheckBox *>("checkBox_makekey")->setChecked(false);
    QVERIFY(!w->ErrorsInspection(messages));
    QCOMPARE(messages, QString("Нет доступныйх контейнеров!\n"));

    // Back to organisation mode: O, STREET and OGRN are checked again; O stayed empty since CN
    // is not copied in private-person mode.
    w->findChild<QCheckBox *>("checkBox_makekey")->setChecked(true);
    w->findChild<QCheckBox *>("checkBox_fiz")->click();
    messages.clear();
    QVERIFY(!w->ErrorsInspection(messages));
    QCOMPARE(messages, QString("Нет орнанизации (O)!\nНет адреса (STREET)!\nНекорректный ОГРН "
                               "(OGRN)!\n"));
}

void TestRequestForm::snilsAsPeopleWriteIt_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("saved");
    QTest::addColumn<bool>("refused");
    QTest::newRow("dashes and a blank, typed")
        << "112-233-445 95" << false << "11223344595" << false;
    QTest::newRow("blanks, pasted") << "112 233 445 95" << true << "11223344595" << false;
    QTest::newRow("no-break space, pasted")
        << QString("112-233-445") + QChar(0xa0) + "95" << true << "11223344595" << false;
    QTest::newRow("wrong check digits") << "112-233-445 96" << false << "11223344596" << true;
    QTest::newRow("twelve digits") << "112233445950" << true << "112233445950" << true;
}

void TestRequestForm::snilsAsPeopleWriteIt()
{
    QFETCH(QString, written);
    QFETCH(bool, pasted);
    QFETCH(QString, saved);
    QFETCH(bool, refused);
    w = window();
    QLineEdit *snils = edit("lineEdit_Snils");
    QApplication::clipboard()->setText(written);
    pasted ? snils->paste() : QTest::keyClicks(snils, written);
    QCOMPARE(snils->text(), written);
    QString messages;
    w->ErrorsInspection(messages);
    QCOMPARE(messages.contains("(SNILS)"), refused);
    w->findChild<QPushButton *>("pushButton_quit")->click();
    QCOMPARE(loadFormFile(filePath()).value("SNILS"), saved);
}

void TestRequestForm::startsEmptyAndQuitSavesEveryKey_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("umask");
    QTest::newRow("first start") << QByteArray() << false << 022;
    QTest::newRow("first start, umask 077") << QByteArray() << false << 077;
    QTest::newRow("count 0") << QByteArray::fromHex("00000000") << true << 022;
    QTest::newRow("truncated inside an entry")
        << QByteArray::fromHex("00000002 000000020045 000000020061 00000004 0053") << true << 022;
}

void TestRequestForm::startsEmptyAndQuitSavesEveryKey()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, exists);
    QFETCH(int, umask);
    if (exists) {
        // As an earlier version left them: readable by every local user.
        QVERIFY(QDir().mkdir(formFileDir(env->home.path())));
        QFile f(filePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        f.close();
        QCOMPARE(::chmod(QFile::encodeName(filePath()).constData(), 0644), 0);
        QCOMPARE(::chmod(QFile::encodeName(formFileDir(env->home.path())).constData(), 0755), 0);
    }
    w = window();
    for (const auto &field : savedFields)
        QCOMPARE(edit(qPrintable(field.second))->text(), QString());

    const mode_t oldUmask = ::umask(mode_t(umask));
    w->findChild<QPushButton *>("pushButton_quit")->click();
    ::umask(oldUmask);
    const QByteArray saved = readAll(filePath());
    QStringList keys;
    for (const auto &field : savedFields)
        keys << field.first;
    keys.sort();
    QCOMPARE(loadFormFile(filePath()).keys(), keys);
    // Count, then per entry the key's length and text and a value length of 0.
    int size = 4;
    for (const auto &field : savedFields)
        size += 4 + 2 * field.first.size() + 4;
    QCOMPARE(saved.size(), size);
    QCOMPARE(saved.left(4).toHex(), QByteArray("0000001b"));
    // Passport numbers, SNILS and INN are the user's alone.
    QCOMPARE(modeOf(filePath()), 0600);
    QCOMPARE(modeOf(formFileDir(env->home.path())), 0700);
}

void TestRequestForm::savedFormComesBack()
{
    w = window();
    // Short distinct values: some fields take only 4 characters.
    auto valueOf = [](int n) { return "ё" + QString::number(n); };
    for (int n = 0; n < savedFields.size(); ++n)
        edit(qPrintable(savedFields[n].second))->setText(valueOf(n));
    // O is set after CN, so it differs from the CN that loading copies into it first.
    QVERIFY(edit("lineEdit_O")->text() != edit("lineEdit_CN")->text());
    w->findChild<QPushButton *>("pushButton_quit")->click();
    w.reset();

    w = window();
    for (int n = 0; n < savedFields.size(); ++n)
        QCOMPARE(edit(qPrintable(savedFields[n].second))->text(), valueOf(n));
}

void TestRequestForm::unknownKeySurvives()
{
    QVERIFY(QDir().mkdir(formFileDir(env->home.path())));
    QVERIFY(saveFormFile(filePath(), {{"zzz", "из другой версии"}, {"SN", "Иванов"}}));
    w = window();
    QCOMPARE(edit("lineEdit_SN")->text(), QString("Иванов"));
    edit("lineEdit_SN")->setText("Петров");
    w->findChild<QPushButton *>("pushButton_quit")->click();

    const QMap<QString, QString> saved = loadFormFile(filePath());
    QCOMPARE(saved.size(), 28);
    QCOMPARE(saved.value("zzz"), QString("из другой версии"));
    QCOMPARE(saved.value("SN"), QString("Петров"));
}

void TestRequestForm::closingOtherwiseSavesNothing()
{
    QVERIFY(QDir().mkdir(formFileDir(env->home.path())));
    QVERIFY(saveFormFile(filePath(), {{"SN", "Иванов"}}));
    const QByteArray before = readAll(filePath());
    w = window();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    edit("lineEdit_SN")->setText("Петров");
    w->close();
    w.reset();
    QCOMPARE(readAll(filePath()), before);
}

void TestRequestForm::expectFailedSave(const QString &path, const QString &reason)
{
    QCOMPARE(env->dialogs.messageTexts(),
             QStringList({"Данные формы не сохранены:\n" + path, "Сохранить данные формы?"}));
    const MessageSpec box = env->dialogs.shown.first().message;
    QCOMPARE((QList<QVariant>{QVariant::fromValue<QWidget *>(box.parent), box.title, box.icon,
                              box.informativeText}),
             (QList<QVariant>{QVariant::fromValue<QWidget *>(w.get()), "Velmora",
                              QMessageBox::Warning, reason}));
}

void TestRequestForm::failedSaveKeepsThePreviousFile_data()
{
    QTest::addColumn<bool>("targetIsDirectory");
    QTest::addColumn<QString>("reason");
    QTest::newRow("the file cannot be written to the end") << false << "File too large";
    QTest::newRow("the rename fails") << true << "Filename refers to a directory";
}

void TestRequestForm::failedSaveKeepsThePreviousFile()
{
    QFETCH(bool, targetIsDirectory);
    QFETCH(QString, reason);
    const QString dir = formFileDir(env->home.path());
    QVERIFY(QDir().mkdir(dir));
    QByteArray before;
    if (targetIsDirectory) {
        QVERIFY(QDir().mkdir(filePath()));
    } else {
        QVERIFY(saveFormFile(filePath(), {{"SN", "Иванов"}}));
        before = readAll(filePath());
    }
    w = window();
    edit("lineEdit_issued")->setText(QString(128, QChar(0x0416)));

    bool limited = false;
    rlimit old{};
    auto oldHandler = SIG_DFL;
    if (!targetIsDirectory) {
        // A file size limit makes the write stop part way, as a full disk would; it binds root
        // too. Without the signal ignored, exceeding it would end the test process.
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 200;
        limited = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    w->findChild<QPushButton *>("pushButton_quit")->click();
    if (limited)
        setrlimit(RLIMIT_FSIZE, &old);
    if (!targetIsDirectory)
        std::signal(SIGXFSZ, oldHandler);
    QVERIFY(targetIsDirectory || limited);
    expectFailedSave(filePath(), reason);

    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{"polname.dat"});
    if (targetIsDirectory)
        QVERIFY(QFileInfo(filePath()).isDir());
    else
        QCOMPARE(readAll(filePath()), before);
}

void TestRequestForm::settingsDirectoryCannotBeCreated()
{
    // A home below a regular file: nothing can be created there, not even by root.
    QFile blocker(env->home.path() + "/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(env->home.path() + "/file/home"));
    w = window();
    qputenv("HOME", realHome);
    edit("lineEdit_SN")->setText("Иванов");
    w->findChild<QPushButton *>("pushButton_quit")->click();
    expectFailedSave(env->home.path() + "/file/home/.velmora-csp/polname.dat", "Not a directory");
    QCOMPARE(
        QDir(env->home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList{"file"});
    QCOMPARE(QFileInfo(blocker.fileName()).size(), 0);
}

void TestRequestForm::savedOnlyInADirectoryOfOurOwn_data()
{
    QTest::addColumn<bool>("foreign");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("modeAfter");
    QTest::newRow("ours, not writable: narrowed to its owner and saved") << false << 0500 << 0700;
    QTest::newRow("another user's, writable by all: nothing saved") << true << 0777 << 0777;
}

void TestRequestForm::savedOnlyInADirectoryOfOurOwn()
{
    QFETCH(bool, foreign);
    QFETCH(int, mode);
    QFETCH(int, modeAfter);
    const QString dir = formFileDir(env->home.path());
    const QByteArray name = QFile::encodeName(dir);
    if (foreign && ::geteuid() != 0) {
        // Only root can give a directory away; for anyone else the test command plants one.
        const QString planted = qEnvironmentVariable("VELMORA_FOREIGN_DIR");
        if (planted.isEmpty())
            QSKIP("only root can give a directory to another user, and none was planted "
                  "(VELMORA_FOREIGN_DIR)");
        QVERIFY(QFile::link(planted, dir));
    } else {
        QVERIFY(QDir().mkdir(dir));
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        if (foreign)
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    }
    w = window();
    edit("lineEdit_SN")->setText("Иванов");
    w->findChild<QPushButton *>("pushButton_quit")->click();
    QCOMPARE(modeOf(dir), modeAfter);
    if (foreign)
        expectFailedSave(filePath(),
                         "Папка принадлежит другому пользователю или доступна всем на запись.");
    else
        QCOMPARE(env->dialogs.messageTexts(), QStringList());
    QCOMPARE(QFileInfo::exists(filePath()), !foreign);
    QCOMPARE(loadFormFile(filePath()).value("SN"), foreign ? QString() : QString("Иванов"));
}

QTEST_MAIN(TestRequestForm)
#include "tst_requestform.moc"
