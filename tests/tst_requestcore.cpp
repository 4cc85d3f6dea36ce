// The request generator's core without a window: check digits, transliteration, validation
// rules and the form file's bytes.
#include "request/formfile.h"
#include "request/mytranslit.h"
#include "request/requestvalidation.h"
#include "request/testinn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(RequestFormValues)

namespace {

RequestFormValues validOrganisation()
{
    RequestFormValues v;
    v.sn = "Иванов";
    v.g = "Иван Иванович";
    v.i = "И.И.";
    v.t = "Директор";
    v.o = "ООО Ромашка";
    v.street = "ул. Ленина, 1";
    v.e = "a@b.ru";
    v.snils = "11223344595";
    v.inn = "001234567894";
    v.ogrn = "1026402195511";
    v.l = "Саратов";
    v.container = "none";
    return v;
}

RequestFormValues validPerson()
{
    RequestFormValues v = validOrganisation();
    v.privatePerson = true;
    v.o.clear();
    v.street.clear();
    v.ogrn.clear();
    v.inn = "123456789047";
    return v;
}

const char *const sn = "Нет фамилии (SN)!\n";
const char *const g = "Нет имени и отчества (G)!\n";
const char *const i = "Нет инициаллов (I)!\n";
const char *const t = "Нет должности (T)!\n";
const char *const o = "Нет орнанизации (O)!\n";
const char *const street = "Нет адреса (STREET)!\n";
const char *const noEmail = "Нет email (E)!\n";
const char *const badEmail = "Некорректный email (E)!\n";
const char *const snils = "Некорректный намер пенсионного страхования (SNILS)!\n";
const char *const inn = "Некорректный ИНН (INN)! Ожидаются 12 цифр ИНН физического лица или 10 "
                        "цифр ИНН организации с «00» впереди.\n";
const char *const ogrn = "Некорректный ОГРН (OGRN)!\n";
const char *const l = "Нет города (L)!\n";
const char *const container = "Нет доступныйх контейнеров!\n";

QString joined(std::initializer_list<const char *> parts)
{
    QString s;
    for (const char *p : parts)
        s += QString::fromUtf8(p);
    return s;
}

} // namespace

class TestRequestCore : public QObject
{
    Q_OBJECT

private slots:
    void innCheck_data();
    void innCheck();
    void snilsCheck_data();
    void snilsCheck();
    void transliteration_data();
    void transliteration();
    void validation_data();
    void validation();
    void formFileBytes();
    void formFileReading_data();
    void formFileReading();
};

void TestRequestCore::innCheck_data()
{
    QTest::addColumn<QString>("inn");
    QTest::addColumn<bool>("valid");
    QTest::newRow("organisation") << "001234567894" << true;
    QTest::newRow("organisation, wrong check") << "001234567895" << false;
    QTest::newRow("organisation, check 10 counts as 0") << "001000000010" << true;
    QTest::newRow("organisation without 00") << "1234567894" << false;
    QTest::newRow("organisation, too short after 00") << "00123456789" << false;
    QTest::newRow("personal") << "123456789047" << true;
    QTest::newRow("personal, wrong 12th") << "123456789048" << false;
    QTest::newRow("personal, wrong 11th, 12th fits") << "123456789054" << false;
    QTest::newRow("personal, checks 10 count as 0") << "500000000100" << true;
    QTest::newRow("letter in a checked position") << "12345678904a" << false;
    QTest::newRow("letter after 00") << "00123456789x" << false;
    QTest::newRow("non-ASCII digit") << QString("12345678904") + QChar(0x0667) << false;
    QTest::newRow("empty") << "" << false;
}

void TestRequestCore::innCheck()
{
    QFETCH(QString, inn);
    QFETCH(bool, valid);
    QCOMPARE(testinn().testinns(inn), valid);
}

void TestRequestCore::snilsCheck_data()
{
    QTest::addColumn<QString>("snils");
    QTest::addColumn<bool>("valid");
    QTest::newRow("sum 95") << "11223344595" << true;
    QTest::newRow("sum 95, wrong check") << "11223344596" << false;
    QTest::newRow("sum 100 gives 00") << "92000000300" << true;
    QTest::newRow("sum 101 gives 00") << "10002898700" << true;
    QTest::newRow("sum 102 gives 01") << "10003789801" << true;
    QTest::newRow("sum 102, check 02") << "10003789802" << false;
    QTest::newRow("sum 405 gives 01") << "99999999901" << true;
    QTest::newRow("all zero") << "00000000000" << true;
    QTest::newRow("dashes") << "112-233-445" << false;
    QTest::newRow("space before check") << "112233445 9" << false;
    QTest::newRow("too short") << "1122334459" << false;
}

void TestRequestCore::snilsCheck()
{
    QFETCH(QString, snils);
    QFETCH(bool, valid);
    QCOMPARE(testinn().testsnils(snils), valid);
}

void TestRequestCore::transliteration_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("expected");
    QTest::newRow("full name") << "Иванов Иван Иванович"
                               << ""
                               << "Ivanov_Ivan_Ivanovich";
    QTest::newRow("hyphen and digit dropped") << "ООО Ромашка-1"
                                              << ""
                                              << "OOO_Romashka";
    QTest::newRow("capital Ш") << "Шишкин"
                               << ""
                               << "Sishkin";
    QTest::newRow("Щ") << "Щукин"
                       << ""
                       << "Schukin";
    QTest::newRow("hard sign") << "Подъезд"
                               << ""
                               << "Podezd";
    QTest::newRow("soft sign") << "Ольга"
                               << ""
                               << "Olga";
    QTest::newRow("capital signs") << "ЪЬ"
                                   << ""
                                   << "";
    QTest::newRow("Ё Й Ы Э Ю Я Ц Ч Ж Х") << "ЁёЙйЫыЭэЮюЯяЦцЧчЖжХх"
                                         << ""
                                         << "YoyoYyYyEeYuyuYayaTstsChchZhzhHh";
    QTest::newRow("Latin and digits") << "Ivanov 2"
                                      << ""
                                      << "Ivanov_";
    QTest::newRow("Cyrillic and Latin mixed") << "Петров John-Paul"
                                              << ""
                                              << "Petrov_JohnPaul";
    QTest::newRow("two spaces") << "А  Б"
                                << ""
                                << "A__B";
    QTest::newRow("empty source keeps destination") << ""
                                                    << "x"
                                                    << "x";
    QTest::newRow("appends") << "Я"
                             << "pre"
                             << "preYa";
    QTest::newRow("outside the BMP") << QString::fromUcs4(U"Я😀я") << ""
                                     << "Yaya";
}

void TestRequestCore::transliteration()
{
    QFETCH(QString, source);
    QFETCH(QString, before);
    QFETCH(QString, expected);
    const QString original = source;
    QString destination = before;
    mytranslit t;
    t.myTranslit(source, destination);
    QCOMPARE(destination, expected);
    QCOMPARE(source, original);
}

void TestRequestCore::validation_data()
{
    QTest::addColumn<RequestFormValues>("values");
    QTest::addColumn<QString>("expected");

    RequestFormValues emptyOrg;
    emptyOrg.container = "none";
    QTest::newRow("empty organisation: 12 lines")
        << emptyOrg << joined({sn, g, i, t, o, street, noEmail, badEmail, snils, inn, ogrn, l});
    RequestFormValues emptyPerson = emptyOrg;
    emptyPerson.privatePerson = true;
    QTest::newRow("empty private person: 9 lines")
        << emptyPerson << joined({sn, g, i, t, noEmail, badEmail, snils, inn, l});
    RequestFormValues emptyNoKey = emptyPerson;
    emptyNoKey.makeKey = false;
    QTest::newRow("empty, existing container none: container last")
        << emptyNoKey << joined({sn, g, i, t, noEmail, badEmail, snils, inn, l, container});

    QTest::newRow("valid organisation") << validOrganisation() << "";
    QTest::newRow("valid private person") << validPerson() << "";

    RequestFormValues v = validOrganisation();
    v.makeKey = false;
    QTest::newRow("valid, existing container none") << v << joined({container});
    v.container = "\\\\.\\HDIMAGE\\key";
    QTest::newRow("valid, existing container chosen") << v << "";

    v = validOrganisation();
    v.e = "a@";
    QTest::newRow("e-mail a@") << v << "";
    v.e = "ab.ru";
    QTest::newRow("e-mail without @") << v << joined({badEmail});
    v = validOrganisation();
    v.sn = " ";
    v.l = " ";
    QTest::newRow("spaces are not empty") << v << "";

    v = validOrganisation();
    v.inn = "1234567894";
    QTest::newRow("organisation INN without 00") << v << joined({inn});
    v = validPerson();
    v.inn = "001234567894";
    QTest::newRow("organisation INN, private mode") << v << "";
    v.inn = "123456789048";
    v.snils = "11223344596";
    QTest::newRow("check digits wrong") << v << joined({snils, inn});
    v = validPerson();
    v.snils = "1122334459";
    QTest::newRow("SNILS 10 characters") << v << joined({snils});

    v = validOrganisation();
    v.ogrn = "102640219551";
    QTest::newRow("OGRN 12 characters") << v << joined({ogrn});
    v.ogrn = "abcdefghijklm";
    QTest::newRow("OGRN: length only") << v << "";
}

void TestRequestCore::validation()
{
    QFETCH(RequestFormValues, values);
    QFETCH(QString, expected);
    // Messages are appended to what the caller passes.
    QString messages = "\n";
    QCOMPARE(inspectRequestForm(values, messages), expected.isEmpty());
    QCOMPARE(messages, "\n" + expected);
}

void TestRequestCore::formFileBytes()
{
    const QMap<QString, QString> data{
        {"E", ""}, {"SN", QString()}, {"O", "Ёж"}, {QString::fromUcs4(U"𝔸"), "x"}};
    // Count, then from the greatest key down (UTF-16 units: D835 > 'S' > 'O' > 'E'); the null
    // value is written as an empty one.
    const QByteArray expected = QByteArray::fromHex("00000004"
                                                    "00000004d835dd38"
                                                    "000000020078"
                                                    "000000040053004e"
                                                    "00000000"
                                                    "00000002004f"
                                                    "0000000404010436"
                                                    "000000020045"
                                                    "00000000");
    QCOMPARE(formDataBytes(data).toHex(), expected.toHex());

    QTemporaryDir dir;
    const QString path = formFilePath(dir.path());
    QCOMPARE(path, dir.path() + "/.velmora-csp/polname.dat");
    QVERIFY(QDir().mkdir(formFileDir(dir.path())));
    QVERIFY(saveFormFile(path, data));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().toHex(), expected.toHex());
    QCOMPARE(loadFormFile(path), data);
}

void TestRequestCore::formFileReading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("entries"); // key, value, key, value...

    const QByteArray oneEntry = QByteArray::fromHex("00000001"
                                                    "000000020045"
                                                    "00000002 0061");
    QTest::newRow("one entry") << oneEntry << true << QStringList{"E", "a"};
    QTest::newRow("bytes after the last entry")
        << oneEntry + "junk" << true << QStringList{"E", "a"};
    QTest::newRow("count 0") << QByteArray::fromHex("00000000") << true << QStringList();
    QTest::newRow("null value") << QByteArray::fromHex("00000001 000000020045 ffffffff") << true
                                << QStringList{"E", ""};
    QTest::newRow("ascending order is read too")
        << QByteArray::fromHex("00000002 000000020045 00000000 000000020047 000000020061") << true
        << QStringList{"E", "", "G", "a"};
    QTest::newRow("empty file") << QByteArray() << false << QStringList();
    QTest::newRow("truncated inside a value")
        << oneEntry.left(oneEntry.size() - 1) << false << QStringList();
    QTest::newRow("second entry missing")
        << QByteArray::fromHex("00000002 000000020045 000000020061") << false << QStringList();
    QTest::newRow("huge count, short file")
        << QByteArray::fromHex("7fffffff 000000020045 000000020061") << false << QStringList();
    QTest::newRow("negative count")
        << QByteArray::fromHex("ffffffff 000000020045 000000020061") << false << QStringList();
    QTest::newRow("huge string length")
        << QByteArray::fromHex("00000001 fffffffe0045") << false << QStringList();
    QTest::newRow("odd string length")
        << QByteArray::fromHex("00000001 00000003004500 000000020061") << false << QStringList();
}

void TestRequestCore::formFileReading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ok);
    QFETCH(QStringList, entries);
    QMap<QString, QString> data{{"stale", "x"}};
    QCOMPARE(readFormData(bytes, data), ok);
    QMap<QString, QString> expected;
    for (int n = 0; n + 1 < entries.size(); n += 2)
        expected.insert(entries[n], entries[n + 1]);
    QCOMPARE(data, expected);
    for (const QString &value : qAsConst(data))
        QVERIFY(!value.isNull());
}

QTEST_MAIN(TestRequestCore)
#include "tst_requestcore.moc"
