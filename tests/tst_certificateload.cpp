// Filling the request form from a certificate: the subject line, its fields, and the button.
#include "app/mainwindow.h"
#include "request/subjectfields.h"
#include "support/windowtestenv.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using Assignments = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Assignments)

class TestCertificateLoad : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void subjectFromListing_data();
    void subjectFromListing();
    void split_data();
    void split();

    void fillsTheFormFromTheListing();
    void failuresChangeNoField_data();
    void failuresChangeNoField();

private:
    QLineEdit *edit(MainWindow &w, const char *name) { return w.findChild<QLineEdit *>(name); }

    std::unique_ptr<WindowTestEnv> env;
};

namespace {

const QString label = QStringLiteral("Subject             : ");

QString listing(const QStringList &subjects)
{
    QString text =
        QStringLiteral("Certmgr 1.1\nprogram for managing certificates, CRLs and stores\n\n"
                       "Certificate info:\n");
    int n = 1;
    for (const QString &subject : subjects) {
        text += QStringLiteral("%1-------\n").arg(n++);
        text += QStringLiteral("Issuer              : CN=Тестовый УЦ, O=УЦ, C=RU\n");
        text += label + subject + QLatin1Char('\n');
        text += QStringLiteral("Serial              : 0x120034AB\n"
                               "SHA1 Hash           : 0x4b1e0f2a\n"
                               "=============================================================="
                               "===============\n");
    }
    return text + QStringLiteral("\n[ErrorCode: 0x00000000]\n");
}

} // namespace

void TestCertificateLoad::init()
{
    env = std::make_unique<WindowTestEnv>();
    // Without cryptcp the window runs nothing at start-up; certmgr stays available.
    env->csp.remove("cryptcp");
}

void TestCertificateLoad::cleanup()
{
    env.reset();
}

void TestCertificateLoad::subjectFromListing_data()
{
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("subject");

    QTest::newRow("one certificate") << listing({"CN=А, SN=Б"}) << "CN=А, SN=Б";
    QTest::newRow("a chain: the last subject wins")
        << listing({"CN=Корневой УЦ, O=УЦ", "CN=Иванов, SN=Иванов"}) << "CN=Иванов, SN=Иванов";
    QTest::newRow("label in any case") << "SUBJECT             : E=a@b\n"
                                       << "E=a@b";
    QTest::newRow("no subject line") << "[ErrorCode: 0x2000012d]\n"
                                     << "";
    QTest::newRow("matching line shorter than the label") << "subject:\n"
                                                          << "";
    QTest::newRow("only the label column names the subject line")
        << listing({"CN=А, SN=Б"}) + "Extended Key Usage  : Subject CA signing\n"
        << "CN=А, SN=Б";
}

void TestCertificateLoad::subjectFromListing()
{
    QFETCH(QString, listing);
    QFETCH(QString, subject);
    QCOMPARE(SubjectFields::subjectFromListing(listing), subject);
}

void TestCertificateLoad::split_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<Assignments>("values");
    QTest::addColumn<bool>("streetSet");
    QTest::addColumn<QString>("street");

    QTest::newRow("address with a comma put back together")
        << "STREET=ул. Ленина, д. 1, L=Самара" << Assignments{{"L", "Самара"}} << true
        << "ул. Ленина, д. 1";
    QTest::newRow("SNILS is not SN, OGRN and OU are not O, CN S C ignored")
        << "CN=ООО Ромашка, SNILS=11223344595, OGRN=1027700132195, OU=Отдел, S=63, C=RU"
        << Assignments{{"SNILS", "11223344595"}, {"OGRN", "1027700132195"}} << true << "";
    QTest::newRow("every recognised prefix")
        << "SN=Иванов, G=Иван Иванович, I=И.И., T=Инженер, UnstructuredName=Договор 15, "
           "O=ООО Ромашка, E=a@b.ru, INN=123456789047"
        << Assignments{{"SN", "Иванов"},
                       {"G", "Иван Иванович"},
                       {"I", "И.И."},
                       {"T", "Инженер"},
                       {"UnstructuredName", "Договор 15"},
                       {"O", "ООО Ромашка"},
                       {"E", "a@b.ru"},
                       {"INN", "123456789047"}}
        << true << "";
    QTest::newRow("quotes kept") << "O=\"ООО \"\"Ромашка\"\"\", L=Самара"
                                 << Assignments{{"O", "\"ООО \"\"Ромашка\"\"\""}, {"L", "Самара"}}
                                 << true << "";
    QTest::newRow("tail of another value lands in the street, after a comma")
        << "CN=Рога, Копыта, L=Самара" << Assignments{{"L", "Самара"}} << true << ", Копыта";
    QTest::newRow("prefixes are case-sensitive")
        << "sn=Иванов, l=Самара" << Assignments{} << true << "";
    QTest::newRow("single component changes nothing")
        << "SN=Иванов" << Assignments{} << false << "";
    QTest::newRow("empty subject changes nothing") << "" << Assignments{} << false << "";
}

void TestCertificateLoad::split()
{
    QFETCH(QString, subject);
    QFETCH(Assignments, values);
    QFETCH(bool, streetSet);
    QFETCH(QString, street);
    const SubjectFields::Fields fields = SubjectFields::split(subject);
    QCOMPARE(fields.values, values);
    QCOMPARE(fields.streetSet, streetSet);
    QCOMPARE(fields.street, street);
}

void TestCertificateLoad::fillsTheFormFromTheListing()
{
    const QString file = env->home.path() + "/мои сертификаты/user.cer";
    const QString subject = "E=ivanov@example.ru, SNILS=11223344595, INN=123456789047, "
                            "STREET=ул. Ленина, д. 1, L=Самара, S=63 Самарская область, C=RU, "
                            "SN=Иванов, G=Иван Иванович, CN=Иванов Иван Иванович, T=Инженер";
    env->csp.on("certmgr", {"-list", "-file", file}, listing({"CN=Корневой УЦ, O=УЦ", subject}));

    MainWindow w(nullptr, env->csp.dir());
    // The earlier person's: emptied where the certificate has no such attribute, kept where
    // the field is never loaded from a certificate.
    for (const char *name : {"lineEdit_OGRN", "lineEdit_I", "lineEdit_UN", "lineEdit_O",
                             "lineEdit_CN", "lineEdit_OU", "lineEdit_pasport"})
        edit(w, name)->setText("был");
    env->dialogs.files << file;
    w.findChild<QPushButton *>("pushButton_infile")->click();

    QCOMPARE(env->csp.calls().size(), 1);
    QCOMPARE(env->csp.calls().at(0).args, QStringList({"-list", "-file", file}));
    QCOMPARE(env->dialogs.shown.first().kind, ScriptedDialogs::Kind::OpenFile);
    const FileDialogSpec spec = env->dialogs.shown.first().file;
    QCOMPARE(spec.caption, QString("Выберите файл сертификата пользователя"));
    QCOMPARE(spec.directory, env->home.path());
    QCOMPARE(spec.filter, QString("*.cer *.crt *.p7b"));
    QCOMPARE(env->dialogs.messageTexts(), QStringList{subject});

    QCOMPARE(edit(w, "lineEdit_E")->text(), QString("ivanov@example.ru"));
    QCOMPARE(edit(w, "lineEdit_Snils")->text(), QString("11223344595"));
    QCOMPARE(edit(w, "lineEdit_INN")->text(), QString("123456789047"));
    QCOMPARE(edit(w, "lineEdit_Street")->text(), QString("ул. Ленина, д. 1"));
    QCOMPARE(edit(w, "lineEdit_L")->text(), QString("Самара"));
    QCOMPARE(edit(w, "lineEdit_SN")->text(), QString("Иванов"));
    QCOMPARE(edit(w, "lineEdit_G")->text(), QString("Иван Иванович"));
    QCOMPARE(edit(w, "lineEdit_T")->text(), QString("Инженер"));
    for (const char *name : {"lineEdit_OGRN", "lineEdit_I", "lineEdit_UN", "lineEdit_O"})
        QCOMPARE(edit(w, name)->text(), QString());
    for (const char *name : {"lineEdit_CN", "lineEdit_OU", "lineEdit_pasport"})
        QCOMPARE(edit(w, name)->text(), QString("был"));
}

void TestCertificateLoad::failuresChangeNoField_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("certmgrMissing");
    QTest::addColumn<int>("runs");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("dialog cancelled") << ""
                                      << "" << false << 0 << QStringList();
    QTest::newRow("utility missing")
        << "/x/a.cer"
        << "" << true << 0 << QStringList{"execvp: No such file or directory"};
    QTest::newRow("not a certificate") << "/x/a.cer"
                                       << "[ErrorCode: 0x2000012d]\n"
                                       << false << 1 << QStringList{""};
    QTest::newRow("single component")
        << "/x/a.cer" << listing({"CN=Иванов"}) << false << 1 << QStringList{"CN=Иванов"};
}

void TestCertificateLoad::failuresChangeNoField()
{
    QFETCH(QString, file);
    QFETCH(QString, output);
    QFETCH(bool, certmgrMissing);
    QFETCH(int, runs);
    QFETCH(QStringList, messages);

    env->csp.on("certmgr", {"-list", "-file", file}, output);
    if (certmgrMissing)
        env->csp.remove("certmgr");
    MainWindow w(nullptr, env->csp.dir());
    edit(w, "lineEdit_SN")->setText("Петров");
    edit(w, "lineEdit_Street")->setText("ул. Мира, 2");
    if (!file.isEmpty())
        env->dialogs.files << file;
    w.findChild<QPushButton *>("pushButton_infile")->click();

    QCOMPARE(env->csp.calls().size(), runs);
    QCOMPARE(env->dialogs.messageTexts(), messages);
    QCOMPARE(edit(w, "lineEdit_SN")->text(), QString("Петров"));
    QCOMPARE(edit(w, "lineEdit_Street")->text(), QString("ул. Мира, 2"));
}

QTEST_MAIN(TestCertificateLoad)
#include "tst_certificateload.moc"
