// The application and the power of attorney: the document built from the saved form, and the two
// buttons down to the written OpenDocument file.
#include "app/mainwindow.h"
#include "csp/qtcompat.h"
#include "documents/applydoc.h"
#include "request/formfile.h"
#include "support/applydocaccess.h"
#include "support/windowtestenv.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

// What the saved form holds when a document is built.
enum Form { Filled, CountZero, Damaged, Missing };
Q_DECLARE_METATYPE(Form)

class TestDocuments : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init() { env = std::make_unique<WindowTestEnv>(); }
    void cleanup() { env.reset(); }
    void blocks_data();
    void blocks();
    void applicationTable();
    void buttons_data();
    void buttons();

private:
    std::unique_ptr<applyDoc> build(Form form, bool powerOfAttorney);
    std::unique_ptr<WindowTestEnv> env;
};

namespace {

const QString filled = "SN=Иванов;G=Иван Иванович;I=И.И.;CN=Иванов Иван Иванович;T=Инженер {O};"
                       "O=ООО Ромашка;OU=Отдел;STREET=ул. Ленина, 1;E=a@b.ru;SNILS=11223344595;"
                       "INN=123456789047;L=Саратов;OGRN=1027700132195;passportser=63 04;"
                       "OID.1.2.840.113549.1.9.2=ИНН=123456789047;passport=123456;issued=ОВД;"
                       "data=01.02.2010;authorized=Петров П.П.;authorfull=Петрову Петру;"
                       "authorT=Менеджеру;post=Директор;boss=Сидоров С.С.";
const QString regulations = QStringLiteral(
    "Настоящим ЗАКАЗЧИК присоединяется к Регламенту Удостоверяющего центра, опубликованном на "
    "сайте Удостоверяющего центра, по адресу: https://www.udostoverenie-centr.ru/udostovcent/.");

// Weight and point size of every piece of text in the block, all in Times New Roman, or "mixed".
QString charFormatOf(const QTextBlock &block)
{
    QSet<QString> formats;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat f = it.fragment().charFormat();
        int weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : -1;
        // The table gives the weights the documents are made with, on Qt 5's scale.
        for (const int made : {0, 100})
            weight = weight == QtCompat::odfFontWeight(made) ? made : weight;
        const QString family = f.fontFamilies().toStringList().value(0);
        formats << QString("%1 %2").arg(weight).arg(f.fontPointSize()) +
                       (family == "Times New Roman" ? "" : " " + family);
    }
    return formats.size() == 1 ? *formats.begin() : QStringLiteral("mixed");
}

// A member of a written package as unzip reads it; empty when the package is damaged.
QString unzipped(const QString &path, const QString &member)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", path, member});
    return unzip.waitForFinished(10000) && unzip.exitCode() == 0
               ? QString::fromUtf8(unzip.readAllStandardOutput())
               : QString();
}

} // namespace

std::unique_ptr<applyDoc> TestDocuments::build(Form form, bool powerOfAttorney)
{
    QMap<QString, QString> values;
    for (const QString &pair : filled.split(';'))
        values.insert(pair.section('=', 0, 0), pair.section('=', 1));
    QByteArray bytes = formDataBytes(form == CountZero ? QMap<QString, QString>() : values);
    bytes.chop(form == Damaged ? 7 : 0);
    makePrivateDirectory(formFileDir(env->home.path()));
    QFile file(formFilePath(env->home.path()));
    if (form != Missing && file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.close();
    auto doc = std::make_unique<applyDoc>();
    powerOfAttorney ? doc->shapetrast() : doc->shapeapply();
    return doc;
}

void TestDocuments::blocks_data()
{
    QTest::addColumn<Form>("form");
    QTest::addColumn<bool>("powerOfAttorney");
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("format"); // alignment, first-line indent, weight, point size

    auto row = [](const char *name, Form form, bool trast, const QString &block,
                  const char *format) {
        QTest::newRow(name) << form << trast << block << QString(format);
    };
    // Centred is 132, justified 8; a point size of 0 was never set.
    row("heading", Filled, false, "Заявление на изготовление Квалифицированного Сертификата",
        "132 0 100 0");
    row("request", Filled, false,
        "Просим создать ключ электронной подписи, ключ проверки электронной подписи, изготовить "
        "квалифицированный сертификат ключа проверки электронной подписи в соответствии с "
        "указанными в настоящем заявлении данными:",
        "8 30 0 0");
    row("caption", Filled, false, "(подпись)\t\t(расшифровка подписи)", "8 300 0 8");
    row("regulations", Filled, false, regulations, "8 0 0 12");
    row("head", Filled, false, "Директор\t\t\t\t\tСидоров С.С.", "8 0 0 12");
    row("representative, no values", CountZero, false, "Уполномоченный представитель\t\t\t\t",
        "8 0 0 0");
    row("owner", Filled, true, "Я, Иванов Иван Иванович", "8 0 100 0");
    row("owner caption", Filled, true,
        "(фамилия, имя, отчество Уполномоченного, ответственного лица)", "132 0 0 8");
    row("position, braces as typed", Filled, true, "Инженер {O} ООО Ромашка", "8 0 0 12");
    row("trustee", Filled, true, "ДОВЕРЯЮ Петрову Петру Менеджеру ООО Ромашка", "8 0 100 12");
    row("indented power", Filled, true, "\t- ключевые файлы в контейнере;", "8 32 0 12");
    row("no delegation", Filled, true, "Без права передоверия.", "8 32 100 12");
    row("owner signs", Filled, true,
        "Подпись лица, выдавшего доверенность\t_____________________\tИванов И.И.", "8 0 0 12");
    row("head certifies", Filled, true, "Директор ООО Ромашка\t\t___________________\tСидоров С.С.",
        "8 0 0 12");
    row("owner, damaged form", Damaged, true, "Я,  ", "8 0 100 0");
    row("owner signs, no saved form", Missing, true,
        "Подпись лица, выдавшего доверенность\t_____________________\t ", "8 0 0 12");
}

void TestDocuments::blocks()
{
    QFETCH(Form, form);
    QFETCH(bool, powerOfAttorney);
    QFETCH(QString, block);
    QFETCH(QString, format);
    const auto doc = build(form, powerOfAttorney);
    const QTextBlock found =
        textDocument(*doc).find(block, 0, QTextDocument::FindCaseSensitively).block();
    QVERIFY2(found.text() == block, qPrintable(textDocument(*doc).toPlainText()));
    const QTextBlockFormat f = found.blockFormat();
    QCOMPARE(QString("%1 %2 ").arg(f.alignment()).arg(f.textIndent()) + charFormatOf(found),
             format);
}

void TestDocuments::applicationTable()
{
    const auto doc = build(Filled, false);
    const auto *table =
        qobject_cast<QTextTable *>(textDocument(*doc).rootFrame()->childFrames().value(0));
    QVERIFY(table);
    const QTextTableFormat f = table->format();
    QCOMPARE(QVariantList({f.cellPadding(), f.cellSpacing(), f.headerRowCount(), f.borderBrush(),
                           f.borderStyle(), f.border(), QVariant::fromValue(f.width())}),
             QVariantList({2.0, 2.0, 1, QBrush(Qt::SolidPattern), 3, 1.0,
                           QVariant::fromValue(QTextLength(QTextLength::PercentageLength, 100))}));
    QCOMPARE(table->columns(), 2);
    QStringList rows;
    QSet<QString> formats;
    for (int r = 0; r < table->rows(); ++r) {
        const QTextBlock label = table->cellAt(r, 0).firstCursorPosition().block();
        const QTextBlock value = table->cellAt(r, 1).firstCursorPosition().block();
        rows << label.text() + "|" + value.text();
        formats << charFormatOf(label) << (value.text().isEmpty() ? "0 0" : charFormatOf(value));
    }
    QCOMPARE(formats, QSet<QString>{"0 0"});
    QCOMPARE(rows, (QStringList{
                       "Фамилия Имя Отчество (CN)|Иванов Иван Иванович", "Фамилия (SN)|Иванов",
                       "Имя и Отчество (G)|Иван Иванович", "СНИЛС (SNILS)|11223344595",
                       "Должность (T)|Инженер {O}", "Наименование организации (O)|ООО Ромашка",
                       "Наименование подразделения|Отдел", "Тип Участника|", "Полномочия|",
                       "Улица, Дом, Корпус, Помещение(Street adress)|ул. Ленина, 1",
                       "Город (L)|Саратов", "Область (S)|64 Саратовская область", "Страна (С)|RU",
                       "Адрес электронной почты (E)|a@b.ru", "ИНН (INN)|123456789047",
                       "ОГРН (OGRN)|1027700132195", "Неструктурированное имя|ИНН=123456789047"}));
}

void TestDocuments::buttons_data()
{
    QTest::addColumn<bool>("application");
    QTest::addColumn<QString>("names"); // surname|given names
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason"); // why the write failed

    auto row = [](const char *name, bool application, const QString &names, const QString &obstacle,
                  const QString &fileName, const QString &reason) {
        QTest::newRow(name) << application << names << obstacle << fileName << reason;
    };
    const QString owner = "Иванов|Иван Иванович";
    const QString file = "IvanovIvan_Ivanovich.odt";
    row("application", true, owner, "", file, "");
    row("power of attorney", false, owner, "", "trast_" + file, "");
    row("application, no surname", true, "|Иван Иванович", "", "Ivan_Ivanovich.odt", "");
    row("power of attorney, no names: refused", false, "|", "no letters", "", "");
    row("application, Latin names kept", true, "Smith|John 2", "", "SmithJohn_.odt", "");
    row("cancelled", false, owner, "cancel", "", "");
    row("replaces an earlier file", true, owner, "old file", file, "");
    row("write cut short by a file size limit", true, owner, "size limit", file, "File too large");
    row("a directory where the file should be", false, owner, "directory", "trast_" + file,
        "Filename refers to a directory");
    row("the chosen directory is a file", true, owner, "file", "plain/" + file, "Not a directory");
    row("the chosen directory is not writable, an earlier file is", true, owner, "read-only", file,
        "Permission denied");
}

void TestDocuments::buttons()
{
    QFETCH(bool, application);
    QFETCH(QString, names);
    QFETCH(QString, obstacle);
    QFETCH(QString, fileName);
    QFETCH(QString, reason);
    if (obstacle == "read-only" && ::geteuid() == 0)
        QSKIP("root writes into any directory");
    env->csp.remove("cryptcp"); // a start-up that runs nothing
    auto w = env->startWindow();
    // Typed but not saved: the button saves the form before it builds the document from it.
    WindowTest::setText(*w, "lineEdit_SN", names.section('|', 0, 0));
    WindowTest::setText(*w, "lineEdit_G", names.section('|', 1));
    WindowTest::setText(*w, "lineEdit_author_full", "Петрову Петру");
    const QString out = env->home.path() + "/out";
    const QString path = out + "/" + fileName;
    QVERIFY(QDir().mkpath(obstacle == "directory" ? path : out));
    QFile old(obstacle == "file" ? out + "/plain" : path);
    if (obstacle == "old file" || obstacle == "size limit" || obstacle == "file" ||
        obstacle == "read-only")
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    old.close();
    const QByteArray outName = QFile::encodeName(out);
    if (obstacle == "read-only")
        QCOMPARE(::chmod(outName.constData(), 0555), 0);
    const auto writable = qScopeGuard([&] { ::chmod(outName.constData(), 0755); });
    env->dialogs.directories.enqueue(obstacle == "cancel" ? QString() : QFileInfo(path).path());

    // A file size limit binds root too and cuts the write short as a full disk would; with the
    // signal ignored the write fails instead of ending the test.
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = obstacle == "size limit" ? 1500 : limit.rlim_cur;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
    WindowTest::click(*w, application ? "pushButton_apply" : "pushButton_trast");
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);

    if (obstacle == "no letters") {
        QCOMPARE(env->dialogs.messageTexts(),
                 QStringList{"Фамилия и имя не содержат букв, из которых можно составить имя "
                             "файла."});
        QCOMPARE(env->dialogs.shown[0].message.parent, w.get());
        QVERIFY(QDir(out).isEmpty());
        return;
    }
    const FileDialogSpec asked = env->dialogs.shown.value(0).file;
    QCOMPARE(asked.caption, application ? "Выберите каталог для сохранения файла заявки"
                                        : "Выберите каталог для сохранения файла доверенности");
    QCOMPARE(asked.parent, w.get());
    QCOMPARE(asked.directory, env->home.path());
    QCOMPARE(asked.options, QFileDialog::ShowDirsOnly);
    QCOMPARE(loadFormFile(formFilePath(env->home.path())).value("authorfull"), "Петрову Петру");
    const QString message = !reason.isEmpty()
                                ? "Не удалось записать файл:\n  " + path + "\n" + reason
                            : application ? "Фаил заявки создан в:\n  " + path + "\n"
                                          : "Фаил доверенности создан в:\n  " + path + "\n";
    QCOMPARE(env->dialogs.messageTexts(),
             obstacle == "cancel" ? QStringList() : QStringList{message});
    // Nothing else in the directory, no temporary file either, and an earlier file kept whole.
    QCOMPARE(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             obstacle == "cancel" ? QStringList() : QStringList{fileName.section('/', 0, 0)});
    if (!reason.isEmpty() || obstacle == "cancel") {
        QVERIFY(!old.open(QIODevice::ReadOnly) || old.readAll() == "old");
        return;
    }
    // An OpenDocument package starts with its media type, stored uncompressed.
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.read(77).mid(30), "mimetypeapplication/vnd.oasis.opendocument.text");
    const QString content = unzipped(path, "content.xml");
    const QString owner = names.replace('|', ' ').trimmed();
    for (const QString &text :
         application ? QStringList{owner, "64 Саратовская область", regulations}
                     : QStringList{"Я, " + owner, "ДОВЕРЯЮ Петрову Петру",
                                   "расписаться за меня в журнале поэкземплярного учёта СКЗИ."})
        QVERIFY2(content.contains(text), qPrintable(text));
    QVERIFY(content.contains("fo:font-family=\"Times New Roman\""));
    QVERIFY(content.contains("fo:font-weight=\"1000\""));
}

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
