// The request command: what cryptcp receives, argument by argument, and the request log.
#include "request/requestcommand.h"
#include "request/requestlog.h"
#include "support/randomtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using Values = QMap<QString, QString>;
Q_DECLARE_METATYPE(Values)

class TestRequestCommand : public QObject
{
    Q_OBJECT

private slots:
    void distinguishedNameArgument_data();
    void distinguishedNameArgument();
    void commandArguments_data();
    void commandArguments();
    void anyValueStaysInItsArgument();
    void logIsNeverOpenedThroughSomethingPlanted_data();
    void logIsNeverOpenedThroughSomethingPlanted();
};

namespace {

const QString oid = QStringLiteral("OID.1.2.840.113549.1.9.2");

Values person()
{
    return {{"SN", "Иванов"},
            {"G", "Иван Иванович"},
            {"I", "И.И."},
            {"CN", "Иванов Иван Иванович"},
            {oid, ""},
            {"T", "Инженер"},
            {"E", "ivanov@example.ru"},
            {"SNILS", "11223344595"},
            {"INN", "123456789047"},
            {"L", "Самара"}};
}

Values organisation()
{
    Values v = person();
    v["CN"] = "ООО Ромашка";
    v["OU"] = "Бухгалтерия";
    v["O"] = "ООО \"Ромашка\", филиал";
    v["STREET"] = "ул. Ленина, д. 1";
    v["INN"] = "001234567894";
    v["OGRN"] = "1027700132195";
    return v;
}

// The distinguished name as the utility receives it: the fourth argument of the command.
QString receivedDn(const Values &values, bool privatePerson, const QString &c, const QString &s)
{
    const QStringList args = RequestCommand::arguments(
        RequestCommand::distinguishedName(values, privatePerson, c, s), 80,
        RequestCommand::containerArguments(true, "HDIMAGE", "none", "x"),
        RequestCommand::usageList(false, false), "/r/x.req");
    return args.size() == 12 ? args.at(2) : QStringLiteral("<%1 arguments>").arg(args.size());
}

} // namespace

void TestRequestCommand::distinguishedNameArgument_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<bool>("privatePerson");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("region");
    QTest::addColumn<QString>("expected");

    const QString tail = ",SNILS=11223344595,INN=123456789047,L=Самара,C=RU,S=63 Самарская область";

    Values hidden = organisation();
    QTest::newRow("private person leaves hidden organisation fields out")
        << hidden << true << "RU"
        << "63 Самарская область"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=ООО Ромашка,T=Инженер,E=ivanov@example.ru,"
           "SNILS=11223344595,INN=001234567894,L=Самара,C=RU,S=63 Самарская область";

    Values quotedEnds = organisation();
    quotedEnds["O"] = "\"Ромашка\"";
    quotedEnds["STREET"] = "";
    QTest::newRow("O made of a quoted name keeps one pair of quotes")
        << quotedEnds << false << "RU"
        << "63"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=ООО Ромашка,T=Инженер,OU=Бухгалтерия,"
           "E=ivanov@example.ru,O=\"Ромашка\",SNILS=11223344595,INN=001234567894,"
           "OGRN=1027700132195,L=Самара,C=RU,S=63";

    Values un = person();
    un[oid] = "Договор 15";
    QTest::newRow("unstructured name goes after CN under its OID")
        << un << true << "RU"
        << "63 Самарская область"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=Иванов Иван Иванович,"
           "OID.1.2.840.113549.1.9.2=Договор 15,T=Инженер,E=ivanov@example.ru" +
               tail;

    Values blanks = person();
    blanks["T"] = "   ";
    blanks["SN"] = "  Иванов ";
    QTest::newRow("values trimmed; blanks only give the name and nothing")
        << blanks << true << "RU"
        << "63 Самарская область"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=Иванов Иван Иванович,T=,E=ivanov@example.ru" + tail;

    Values comma = person();
    comma["CN"] = "Иванов, \"ИП\"";
    comma["T"] = "Генеральный директор, член правления";
    QTest::newRow("CN and T with a comma quoted, lone quotes dropped")
        << comma << true << "RU"
        << "63 Самарская область"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=\"Иванов, ИП\",T=\"Генеральный директор, член "
           "правления\",E=ivanov@example.ru" +
               tail;
    Values commas = organisation();
    commas["OU"] = "Отдел кадров, группа 2";
    commas["L"] = "Самара, Куйбышевский р-н";
    QTest::newRow("OU, L and region with a comma quoted, O and STREET as ever")
        << commas << false << "RU"
        << "63, Самарская область"
        << "SN=Иванов,G=Иван Иванович,I=И.И.,CN=ООО Ромашка,T=Инженер,OU=\"Отдел кадров, группа "
           "2\",E=ivanov@example.ru,O=\"ООО Ромашка, филиал\",STREET=\"ул. Ленина, д. 1\","
           "SNILS=11223344595,INN=001234567894,OGRN=1027700132195,L=\"Самара, Куйбышевский "
           "р-н\",C=RU,S=\"63, Самарская область\"";

    QTest::newRow("country and region as they are, even empty") << Values() << false << ""
                                                                << " 63 Самара "
                                                                << "C=,S= 63 Самара ";
}

void TestRequestCommand::distinguishedNameArgument()
{
    QFETCH(Values, values);
    QFETCH(bool, privatePerson);
    QFETCH(QString, country);
    QFETCH(QString, region);
    QFETCH(QString, expected);
    QCOMPARE(receivedDn(values, privatePerson, country, region), expected);
}

void TestRequestCommand::commandArguments_data()
{
    QTest::addColumn<bool>("privatePerson");
    QTest::addColumn<bool>("egis");
    QTest::addColumn<bool>("pgu");
    QTest::addColumn<bool>("newKey");
    QTest::addColumn<QString>("keyStore");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<QStringList>("expected");

    const QString personDn = "SN=Иванов,G=Иван Иванович,I=И.И.,CN=Иванов Иван Иванович,T=Инженер,"
                             "E=ivanov@example.ru,SNILS=11223344595,INN=123456789047,L=Самара,C=RU,"
                             "S=63 Самарская область";
    const QString usage = "1.3.6.1.5.5.7.3.2,1.3.6.1.5.5.7.3.4";

    QTest::newRow("worked example") << true << false << true << true << "HDIMAGE"
                                    << "none"
                                    << "Ivanov_Ivan_Ivanovich"
                                    << "/home/user/req dir/Ivanov_Ivan_Ivanovich.req"
                                    << "ГОСТ Р 34.10-2001 (устаревший)"
                                    << QStringList{"/opt/cprocsp/bin/amd64/cryptcp",
                                                   "-creatrqst",
                                                   "-dn",
                                                   personDn,
                                                   "-provtype",
                                                   "75",
                                                   "-both",
                                                   "-cont",
                                                   "\\\\.\\HDIMAGE\\Ivanov_Ivan_Ivanovich",
                                                   "-certusage",
                                                   "1.2.643.100.113.1," + usage,
                                                   "-exprt",
                                                   "/home/user/req dir/Ivanov_Ivan_Ivanovich.req"};

    QStringList noStore{"/opt/cprocsp/bin/amd64/cryptcp",
                        "-creatrqst",
                        "-dn",
                        personDn,
                        "-provtype",
                        "81",
                        "-both",
                        "-cont",
                        "\\\\.\\\\",
                        "-certusage",
                        usage,
                        "-exprt",
                        "/r/.req"};
    QTest::newRow("empty key store and name, 512-bit key")
        << true << false << false << true << ""
        << "none"
        << ""
        << "/r/.req"
        << "ГОСТ Р 34.10-2012 (512 бит)" << noStore;
}

void TestRequestCommand::commandArguments()
{
    QFETCH(bool, privatePerson);
    QFETCH(bool, egis);
    QFETCH(bool, pgu);
    QFETCH(bool, newKey);
    QFETCH(QString, keyStore);
    QFETCH(QString, existing);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, algorithm);
    QFETCH(QStringList, expected);

    const Values values = privatePerson ? person() : organisation();
    const QStringList arguments = RequestCommand::arguments(
        RequestCommand::distinguishedName(values, privatePerson, "RU", "63 Самарская область"),
        RequestCommand::providerType(algorithm),
        RequestCommand::containerArguments(newKey, keyStore, existing, name),
        RequestCommand::usageList(egis, pgu), path);
    // The slot puts the utility's path in front.
    QCOMPARE("/opt/cprocsp/bin/amd64/cryptcp", expected.first());
    QCOMPARE(arguments, expected.mid(1));
}

void TestRequestCommand::anyValueStaysInItsArgument()
{
    QRandomGenerator random(5);
    for (int n = 0; n < 300; ++n) {
        Values values;
        for (const QString &key : RequestCommand::attributeNames(false))
            values[key] = randomAwkwardText(random);
        const bool newKey = n % 2 == 0;
        const QString store = randomAwkwardText(random);
        const QString existing = "\\\\.\\" + randomAwkwardText(random);
        const QString path = "/home/u/" + randomAwkwardText(random) + "/x.req";
        const QString dn = RequestCommand::distinguishedName(values, false, "RU", "63");
        const QStringList args = RequestCommand::arguments(
            dn, 80, RequestCommand::containerArguments(newKey, store, existing, "Name"),
            RequestCommand::usageList(true, true), path);

        QCOMPARE(args.size(), newKey ? 12 : 13);
        QCOMPARE(args.at(2), dn);
        QCOMPARE(args.constLast(), path);
        QCOMPARE(args.at(newKey ? 7 : 8), newKey ? "\\\\.\\" + store + "\\Name" : existing);
        // Only the pairs around O, STREET and the values with a comma remain of all the quotes.
        int pairs = 0;
        for (const QString &key : RequestCommand::attributeNames(false))
            pairs += !values[key].isEmpty() &&
                     (key == "O" || key == "STREET" || values[key].contains(','));
        QCOMPARE(dn.count('"'), 2 * pairs);
    }
}

void TestRequestCommand::logIsNeverOpenedThroughSomethingPlanted_data()
{
    QTest::addColumn<QString>("planted");
    QTest::addColumn<bool>("opens");

    QTest::newRow("nothing there: created") << "none" << true;
    QTest::newRow("our own earlier log: truncated") << "own" << true;
    QTest::newRow("symbolic link to a file of ours") << "symlink" << false;
    QTest::newRow("dangling symbolic link") << "dangling" << false;
    QTest::newRow("hard link to a file of ours") << "hardlink" << false;
    QTest::newRow("file of another user") << "foreign" << false;
    QTest::newRow("named pipe") << "fifo" << false;
}

void TestRequestCommand::logIsNeverOpenedThroughSomethingPlanted()
{
    QFETCH(QString, planted);
    QFETCH(bool, opens);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // Only root can give a file away; for anyone else the test command plants one, writable by
    // every user, in a directory of another user.
    const QString foreignDir = qEnvironmentVariable("VELMORA_FOREIGN_DIR");
    if (planted == "foreign" && ::geteuid() != 0 && foreignDir.isEmpty())
        QSKIP("only root can give a file to another user, and no log of another user was planted "
              "(VELMORA_FOREIGN_DIR)");
    const QString logDir = planted == "foreign" && ::geteuid() != 0 ? foreignDir : dir.path();
    const QString log = logDir + "/genreg.log";
    const QString victim = dir.filePath("victim");
    {
        QFile f(victim);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    const QByteArray logName = QFile::encodeName(log);
    if (planted == "own") {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the previous run");
        f.close();
        QCOMPARE(::chmod(logName.constData(), 0644), 0);
    } else if (planted == "symlink") {
        QVERIFY(QFile::link(victim, log));
    } else if (planted == "dangling") {
        QVERIFY(QFile::link(dir.filePath("created-through-link"), log));
    } else if (planted == "hardlink") {
        QCOMPARE(::link(QFile::encodeName(victim).constData(), logName.constData()), 0);
    } else if (planted == "foreign" && ::geteuid() == 0) {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("someone else's");
        f.close();
        QCOMPARE(::chown(logName.constData(), 65534, 65534), 0);
        QCOMPARE(::chmod(logName.constData(), 0666), 0);
    } else if (planted == "fifo") {
        QCOMPARE(::mkfifo(logName.constData(), 0600), 0);
    }

    RequestLog::setDirectoryForTests(logDir);
    {
        RequestLog requestLog;
        QCOMPARE(requestLog.path(), log);
        QCOMPARE(requestLog.isOpen(), opens);
        requestLog.write("Фаил запроса: x\n");
    }
    RequestLog::setDirectoryForTests(QString());

    auto contents = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    };
    QCOMPARE(contents(victim), QByteArray("precious"));
    QVERIFY(!QFileInfo::exists(dir.filePath("created-through-link")));
    struct stat st;
    if (opens) {
        QCOMPARE(contents(log), QString("Фаил запроса: x\n").toUtf8());
        // The request's output is for the user alone, in a directory every user can read.
        QCOMPARE(::stat(logName.constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
    } else if (planted == "foreign")
        QCOMPARE(contents(log), QByteArray("someone else's"));
}

QTEST_GUILESS_MAIN(TestRequestCommand)
#include "tst_requestcommand.moc"
