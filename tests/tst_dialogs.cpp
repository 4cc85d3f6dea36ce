// The real dialogs behind the seam, answered once each as a user would.
#include "app/dialogs.h"
#include "app/qttranslation.h"
#include "support/scripteddialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

namespace {

// Runs `answer` on the modal widget as soon as one is open.
void whenModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(w);
        }
    });
    timer->start();
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void messageBoxShowsWhatWasAsked_data();
    void messageBoxShowsWhatWasAsked();
    void openFileDialogReturnsTheTypedFile();
    void openFilesDialogReturnsTheTypedFiles();
    void directoryDialogReturnsTheDirectory();
    void scriptedDialogsReplaceAndRestore();
    void standardButtonsReadInRussian();
};

void TestDialogs::messageBoxShowsWhatWasAsked_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("click");
    QTest::newRow("ok") << int(QMessageBox::Ok) << int(QMessageBox::Ok);
    QTest::newRow("yes") << int(QMessageBox::No | QMessageBox::Yes) << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No | QMessageBox::Yes) << int(QMessageBox::No);
}

void TestDialogs::messageBoxShowsWhatWasAsked()
{
    QFETCH(int, buttons);
    QFETCH(int, click);
    QWidget parent;
    MessageSpec spec;
    spec.parent = &parent;
    spec.title = "Заголовок";
    spec.text = "Текст?\n";
    spec.informativeText = "Пояснение";
    spec.detailedText = "Подробности";
    spec.icon = QMessageBox::Warning;
    spec.buttons = QMessageBox::StandardButtons(buttons);
    spec.defaultButton = QMessageBox::StandardButton(click);
    spec.escapeButton = QMessageBox::StandardButton(click);
    spec.icon = QMessageBox::Warning;

    QString seenTitle, seenText, seenInformative, seenDetails;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QWidget *seenParent = nullptr;
    bool iconDefaultAndEscape = false;
    whenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenInformative = box->informativeText();
        seenDetails = box->detailedText();
        seenIcon = box->icon();
        seenParent = box->parentWidget();
        QAbstractButton *chosen = box->button(QMessageBox::StandardButton(click));
        iconDefaultAndEscape = box->icon() == QMessageBox::Warning &&
                               box->defaultButton() == chosen && box->escapeButton() == chosen;
        box->button(QMessageBox::StandardButton(click))->click();
    });
    const QMessageBox::StandardButton answer = Dialogs::current().message(spec);
    QCOMPARE(int(answer), click);
    QCOMPARE(seenTitle, spec.title);
    QCOMPARE(seenText, spec.text);
    QCOMPARE(seenInformative, spec.informativeText);
    QCOMPARE(seenDetails, spec.detailedText);
    QCOMPARE(seenIcon, spec.icon);
    QCOMPARE(seenParent, &parent);
    QVERIFY(iconDefaultAndEscape);
}

void TestDialogs::standardButtonsReadInRussian()
{
    const std::unique_ptr<QTranslator> translation(installQtTranslation());
    if (!translation)
        QSKIP("Qt's Russian translation (qttranslations5-l10n, for Qt 6 qt6-translations-l10n) is "
              "not "
              "installed");
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Да"));
}

void TestDialogs::openFileDialogReturnsTheTypedFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("запрос.sig");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();

    FileDialogSpec spec;
    spec.caption = "Выберите файл";
    spec.directory = dir.path();
    spec.filter = "*.sig";
    QString caption;
    whenModal([&](QWidget *w) {
        caption = w->windowTitle();
        auto *edit = w->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(edit);
        edit->setText(file);
        static_cast<QDialog *>(w)->accept();
    });
    QCOMPARE(Dialogs::current().openFileName(spec), file);
    QCOMPARE(caption, spec.caption);
}

void TestDialogs::openFilesDialogReturnsTheTypedFiles()
{
    QTemporaryDir dir;
    for (const char *name : {"б.sig", "а.sig"})
        QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    FileDialogSpec spec;
    spec.directory = dir.path();
    whenModal([&](QWidget *w) {
        w->findChild<QLineEdit *>("fileNameEdit")->setText("\"б.sig\" \"а.sig\"");
        static_cast<QDialog *>(w)->accept();
    });
    QCOMPARE(Dialogs::current().openFileNames(spec),
             (QStringList{dir.filePath("б.sig"), dir.filePath("а.sig")}));
}

void TestDialogs::directoryDialogReturnsTheDirectory()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("out"));
    FileDialogSpec spec;
    spec.caption = "Выберите каталог";
    spec.directory = dir.path();
    spec.options = QFileDialog::ShowDirsOnly;
    whenModal([&](QWidget *w) {
        auto *edit = w->findChild<QLineEdit *>("fileNameEdit");
        QVERIFY(edit);
        edit->setText(dir.filePath("out"));
        static_cast<QDialog *>(w)->accept();
    });
    QCOMPARE(Dialogs::current().existingDirectory(spec), dir.filePath("out"));

    whenModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    QCOMPARE(Dialogs::current().existingDirectory(spec), QString());
}

void TestDialogs::scriptedDialogsReplaceAndRestore()
{
    {
        ScriptedDialogs scripted;
        QCOMPARE(&Dialogs::current(), static_cast<Dialogs *>(&scripted));
        Dialogs::inform("готово");
        QCOMPARE(scripted.messageTexts(), QStringList{"готово"});
        QCOMPARE(scripted.shown[0].message.parent, nullptr);
    }
    QVERIFY(dynamic_cast<QtDialogs *>(&Dialogs::current()));
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
