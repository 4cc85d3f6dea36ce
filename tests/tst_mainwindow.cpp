// The main window as it starts: the form, and what start-up does with and without the CSP.
#include "app/mainwindow.h"
#include "request/formfile.h"
#include "support/windowtestenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <memory>

class TestMainWindow : public QObject
{
    Q_OBJECT

public:
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

private slots:
    void init();
    void cleanup();

    void formHasEveryWidget_data();
    void formHasEveryWidget();
    void formHasItsListsAndSettings();
    void certificateTableGrowsWithTheWindow_data();
    void certificateTableGrowsWithTheWindow();
    void startsWithoutCsp();
    void startsWithCspEvenIfNotExecutable_data();
    void startsWithCspEvenIfNotExecutable();
    void quitClosesTheWindow();
    void closingAsksToSaveChangedFields_data();
    void closingAsksToSaveChangedFields();

private:
    std::unique_ptr<WindowTestEnv> env;
};

void TestMainWindow::init()
{
    env = std::make_unique<WindowTestEnv>();
    env->csp.remove("cryptcp");
}

void TestMainWindow::cleanup()
{
    env.reset();
}

void TestMainWindow::formHasEveryWidget_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maxLength");

    QTest::newRow("pushButton_cryptopro")
        << QString("QPushButton") << QString("КриптоПро (amd64):") << -1;
    QTest::newRow("label_cryptopro") << QString("QLabel") << QString("НЕТ") << -1;
    QTest::newRow("label_keys") << QString("QLabel") << QString("Контейнеры:") << -1;
    QTest::newRow("comboBox_seakeys") << QString("QComboBox") << QString("none") << -1;
    QTest::newRow("pushButton_keys")
        << QString("QPushButton") << QString("Найти доступные контейнеры") << -1;
    QTest::newRow("pushButton_copykey")
        << QString("QPushButton") << QString("Копировать контейнер") << -1;
    QTest::newRow("label_fd") << QString("QLabel") << QString("Хранилище для ключа:") << -1;
    QTest::newRow("comboBox_fd") << QString("QComboBox") << QString("none") << -1;
    QTest::newRow("pushButton_delkey")
        << QString("QPushButton") << QString("Удалить контейнер") << -1;
    QTest::newRow("pushButton_quit") << QString("QPushButton") << QString("Выход") << -1;
    QTest::newRow("pushButton_license") << QString("QPushButton") << QString("Лицензия") << -1;
    QTest::newRow("pushButton_rootkey")
        << QString("QPushButton") << QString("Установить корневой сертификат") << -1;
    QTest::newRow("pushButton_seakeys")
        << QString("QPushButton") << QString("Посмотреть сертификат в контейнере") << -1;
    QTest::newRow("pushButton_CRL") << QString("QPushButton") << QString("Установить CRL") << -1;
    QTest::newRow("pushButton_cerkeys")
        << QString("QPushButton") << QString("Установить сертификаты контейнера") << -1;
    QTest::newRow("pushButton_usercer")
        << QString("QPushButton") << QString("Установить сертификат пользователя") << -1;
    QTest::newRow("pushButton_sysser")
        << QString("QPushButton") << QString("Установленные сертификаты:") << -1;
    QTest::newRow("pushButton_allcerts")
        << QString("QPushButton") << QString("Установить сертификаты всех контейнеров") << -1;
    QTest::newRow("checkBox_crypt") << QString("QCheckBox") << QString("Зашифровать") << -1;
    QTest::newRow("label_certlegend")
        << QString("QLabel")
        << QString("Зелёный — действует 30 дней и больше, жёлтый — меньше 30 дней, оранжевый — "
                   "10 дней и меньше, красный — срок истёк.")
        << -1;
    QTest::newRow("pushButton_crypt")
        << QString("QPushButton") << QString("Подписать/зашифровать документ") << -1;
    QTest::newRow("pushButton") << QString("QPushButton") << QString("Извлечь документ") << -1;
    QTest::newRow("pushButton_verifile")
        << QString("QPushButton") << QString("Проверить подпись") << -1;
    QTest::newRow("label_SN") << QString("QLabel") << QString("Фамилия (SN):") << -1;
    QTest::newRow("lineEdit_SN") << QString("QLineEdit") << QString("") << 64;
    QTest::newRow("label_G") << QString("QLabel") << QString("Имя, Отчество (G):") << -1;
    QTest::newRow("lineEdit_G") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_I") << QString("QLabel") << QString("Инициаллы (I):") << -1;
    QTest::newRow("lineEdit_I") << QString("QLineEdit") << QString("") << 4;
    QTest::newRow("label_CN") << QString("QLabel") << QString("Наименование организации (CN):")
                              << -1;
    QTest::newRow("lineEdit_CN") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_UN") << QString("QLabel") << QString("Неструктурированнное имя (UN):")
                              << -1;
    QTest::newRow("lineEdit_UN") << QString("QLineEdit") << QString("") << 64;
    QTest::newRow("label_T") << QString("QLabel") << QString("Должность (T):") << -1;
    QTest::newRow("lineEdit_T") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_OU") << QString("QLabel") << QString("Подразделение (OU):") << -1;
    QTest::newRow("lineEdit_OU") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_E") << QString("QLabel") << QString("email (E):") << -1;
    QTest::newRow("lineEdit_E") << QString("QLineEdit") << QString("") << 64;
    QTest::newRow("label_O") << QString("QLabel") << QString("Организация (O):") << -1;
    QTest::newRow("lineEdit_O") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_Street") << QString("QLabel") << QString("Адрес (STREET):") << -1;
    QTest::newRow("lineEdit_Street") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_Snils") << QString("QLabel") << QString("СНИЛС (SNILS):") << -1;
    QTest::newRow("lineEdit_Snils") << QString("QLineEdit") << QString("") << 14;
    QTest::newRow("label_INN") << QString("QLabel") << QString("ИНН ЮРЛ (INN):") << -1;
    QTest::newRow("lineEdit_INN") << QString("QLineEdit") << QString("") << 12;
    QTest::newRow("label_OGRN") << QString("QLabel") << QString("ОГРН (OGRN):") << -1;
    QTest::newRow("lineEdit_OGRN") << QString("QLineEdit") << QString("") << 13;
    QTest::newRow("label_L") << QString("QLabel") << QString("Город (L):") << -1;
    QTest::newRow("lineEdit_L") << QString("QLineEdit") << QString("") << 64;
    QTest::newRow("comboBox_S") << QString("QComboBox") << QString("64 Саратовская область") << -1;
    QTest::newRow("comboBox_C") << QString("QComboBox") << QString("RU") << -1;
    QTest::newRow("label_cer") << QString("QLabel") << QString("Типы сертификатов:") << -1;
    QTest::newRow("checkBox_pgu") << QString("QCheckBox") << QString("ПГУ") << -1;
    QTest::newRow("checkBox_egis") << QString("QCheckBox") << QString("РФ ЕГИСЗ") << -1;
    QTest::newRow("checkBox_fiz") << QString("QCheckBox") << QString("Сертификат физического лица")
                                  << -1;
    QTest::newRow("checkBox_makekey")
        << QString("QCheckBox") << QString("Создать новый ключ") << -1;
    QTest::newRow("pushButton_infile")
        << QString("QPushButton") << QString("Загрузить из сертификата") << -1;
    QTest::newRow("pushButton_req") << QString("QPushButton") << QString("Создать запрос") << -1;
    QTest::newRow("label_pasport") << QString("QLabel") << QString("Паспорт, серия и номер:") << -1;
    QTest::newRow("lineEdit_pasp_ser") << QString("QLineEdit") << QString("") << 4;
    QTest::newRow("lineEdit_pasport") << QString("QLineEdit") << QString("") << 6;
    QTest::newRow("label_data") << QString("QLabel") << QString("Дата выдачи:") << -1;
    QTest::newRow("lineEdit_data") << QString("QLineEdit") << QString("") << 10;
    QTest::newRow("label_issued") << QString("QLabel") << QString("Кем выдан:") << -1;
    QTest::newRow("lineEdit_issued") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_authorized")
        << QString("QLabel") << QString("ФИО Уполномоченного (краткое):") << -1;
    QTest::newRow("lineEdit_authorized") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_author_full")
        << QString("QLabel") << QString("ФИО (полное в дательном падеже):") << -1;
    QTest::newRow("lineEdit_author_full") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_autorised_r")
        << QString("QLabel") << QString("Занимаемая должность:") << -1;
    QTest::newRow("lineEdit_authorized_r") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_paspaut") << QString("QLabel") << QString("Паспорт, серия и номер:") << -1;
    QTest::newRow("lineEdit_pasp_ser_aut") << QString("QLineEdit") << QString("") << 4;
    QTest::newRow("lineEdit_paspaut") << QString("QLineEdit") << QString("") << 6;
    QTest::newRow("label_pasdata") << QString("QLabel") << QString("Дата выдачи:") << -1;
    QTest::newRow("lineEdit_pasdata") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_pasissued") << QString("QLabel") << QString("Кем выдан:") << -1;
    QTest::newRow("lineEdit_pasissued") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_post") << QString("QLabel") << QString("Должность руководителя:") << -1;
    QTest::newRow("lineEdit_post") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("label_boss") << QString("QLabel") << QString("ФИО Руководителя:") << -1;
    QTest::newRow("lineEdit_boss") << QString("QLineEdit") << QString("") << 128;
    QTest::newRow("pushButton_apply")
        << QString("QPushButton") << QString("Сформировать заявку") << -1;
    QTest::newRow("pushButton_trast")
        << QString("QPushButton") << QString("Сформировать доверенность") << -1;
}

void TestMainWindow::formHasEveryWidget()
{
    QFETCH(QString, className);
    QFETCH(QString, text);
    QFETCH(int, maxLength);
    MainWindow w(nullptr, env->csp.dir());
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    const QList<QWidget *> found = w.findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(QString(widget->metaObject()->className()), className);

    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QString shown = label->text();
        if (Qt::mightBeRichText(shown)) {
            QTextDocument doc;
            doc.setHtml(shown);
            shown = doc.toPlainText();
        }
        QCOMPARE(shown, text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        QCOMPARE(combo->currentText(), text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->maxLength(), maxLength);
        QVERIFY(edit->isClearButtonEnabled());
        QCOMPARE(edit->dragEnabled(), name != "lineEdit_author_full");
        // Typing past the limit has no effect.
        QTest::keyClicks(edit, QString(maxLength + 3, QLatin1Char('7')));
        QCOMPARE(edit->text().size(), maxLength);
    }
}

void TestMainWindow::formHasItsListsAndSettings()
{
    MainWindow w(nullptr, env->csp.dir());
    QCOMPARE(w.windowTitle(), QString("Velmora"));
    QCOMPARE(w.size(), QSize(930, 700));
    QCOMPARE(w.minimumSize(), QSize(800, 600));

    auto *tabs = w.findChild<QTabWidget *>("tabWidget");
    QVERIFY(tabs);
    const QStringList titles{"Управление сертификатами", "Генератор запросов",
                             "Генератор документов", "О программе"};
    const QStringList pages{"tab_4", "widget", "tab_5", "tab"};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(tabs->tabText(i), titles[i]);
        QCOMPARE(tabs->widget(i)->objectName(), pages[i]);
    }
    QCOMPARE(tabs->currentIndex(), 0);

    auto items = [&](const char *name) {
        auto *combo = w.findChild<QComboBox *>(name);
        QStringList list;
        for (int i = 0; combo && i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    };
    QCOMPARE(items("comboBox_seakeys"), QStringList{"none"});
    QCOMPARE(items("comboBox_fd"), QStringList{"none"});
    QCOMPARE(items("comboBox_S"), QStringList({"64 Саратовская область", "34 Волгоградская область",
                                               "36 Воронежская область", "58 Пензенская область",
                                               "63 Самарская область"}));
    QCOMPARE(items("comboBox_C"), QStringList({"RU", "BL", "KZ", "UA", "US", "BR"}));
    QCOMPARE(w.findChild<QComboBox *>("comboBox_seakeys")->maxCount(), 300);
    QCOMPARE(w.findChild<QComboBox *>("comboBox_fd")->maxCount(), 10);
    QVERIFY(w.findChild<QComboBox *>("comboBox_S")->isEditable());
    QVERIFY(!w.findChild<QComboBox *>("comboBox_C")->isEditable());
    QVERIFY(!w.findChild<QComboBox *>("comboBox_seakeys")->isEditable());
    QVERIFY(!w.findChild<QComboBox *>("comboBox_fd")->isEditable());

    // Inserts beyond the limit are dropped.
    auto *fd = w.findChild<QComboBox *>("comboBox_fd");
    for (int i = 0; i < 12; ++i)
        fd->addItem(QString::number(i));
    QCOMPARE(fd->count(), 10);

    QVERIFY(w.findChild<QCheckBox *>("checkBox_makekey")->isChecked());
    for (const char *name : {"checkBox_pgu", "checkBox_egis", "checkBox_fiz", "checkBox_crypt"})
        QVERIFY2(!w.findChild<QCheckBox *>(name)->isChecked(), name);

    auto *table = w.findChild<QTableWidget *>("tableWidgetCert");
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(table->columnCount(), 7);
    const QStringList headers{"SHA1 Hash",   "Хранилище",      "Владелец сертификата", "Издатель",
                              "Дата начала", "Дата окончания", "Закрытый ключ"};
    for (int c = 0; c < 7; ++c) {
        QCOMPARE(table->horizontalHeaderItem(c)->text(), headers[c]);
        QCOMPARE(table->horizontalHeaderItem(c)->textAlignment() & Qt::AlignHCenter,
                 int(Qt::AlignHCenter));
    }
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(table->isSortingEnabled());
    QVERIFY(table->dragEnabled());
    QCOMPARE(table->dragDropMode(), QAbstractItemView::DragOnly);
    QCOMPARE(table->defaultDropAction(), Qt::CopyAction);
    QVERIFY(table->horizontalHeader()->cascadingSectionResizes());
    QCOMPARE(table->horizontalHeader()->minimumSectionSize(), 40);

    auto *about = w.findChild<QTextEdit *>("textEdit");
    QVERIFY(about);
    QCOMPARE(about->textInteractionFlags(),
             Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    const QString plain = about->toPlainText();
    QVERIFY(plain.startsWith("О программе:\nVelmora-1.5\n"));
    QVERIFY(plain.contains("5. Поддержка Rutoken S, и др."));
    QVERIFY(plain.contains("убрать галочку \"создать новый ключ\"."));
}

void TestMainWindow::certificateTableGrowsWithTheWindow_data()
{
    QTest::addColumn<QSize>("window"); // invalid: the first size
    QTest::addColumn<QSize>("atLeast");
    // The table's size at the first size before it grew with the window.
    QTest::newRow("first size") << QSize() << QSize(811, 175);
    QTest::newRow("1600×1000") << QSize(1600, 1000) << QSize(1300, 450);
}

void TestMainWindow::certificateTableGrowsWithTheWindow()
{
    QFETCH(QSize, window);
    QFETCH(QSize, atLeast);
    MainWindow w(nullptr, env->csp.dir());
    if (window.isValid())
        w.resize(window);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const auto placeOf = [&w](const char *name) {
        const QWidget *widget = w.findChild<QWidget *>(name);
        return QRect(widget->mapTo(&w, QPoint()), widget->size());
    };
    const QRect table = placeOf("tableWidgetCert"), legend = placeOf("label_certlegend");
    QVERIFY2(table.width() >= atLeast.width() && table.height() >= atLeast.height(),
             qPrintable(QString("%1×%2").arg(table.width()).arg(table.height())));
    QVERIFY(table.bottom() < legend.top() && legend.bottom() < placeOf("pushButton_crypt").top());
}

void TestMainWindow::startsWithoutCsp()
{
    CspStandIn csp;
    QVERIFY(csp.isValid());
    csp.remove("cryptcp");
    MainWindow w(nullptr, csp.dir());
    auto *label = w.findChild<QLabel *>("label_cryptopro");
    QCOMPARE(label->text(), QString("НЕТ"));
    QCOMPARE(label->styleSheet(), QString("color: red"));
    QVERIFY(!w.TestCryptopro());
    QVERIFY(csp.calls().isEmpty());
    QVERIFY(env->dialogs.shown.isEmpty());
    QCOMPARE(w.findChild<QTableWidget *>("tableWidgetCert")->rowCount(), 0);
    QCOMPARE(w.findChild<QComboBox *>("comboBox_seakeys")->currentText(), QString("none"));
    QCOMPARE(w.findChild<QComboBox *>("comboBox_fd")->currentText(), QString("none"));
    // The request form stays usable without the CSP.
    QVERIFY(w.findChild<QLineEdit *>("lineEdit_SN")->isEnabled());
}

void TestMainWindow::startsWithCspEvenIfNotExecutable_data()
{
    QTest::addColumn<bool>("executable");
    QTest::newRow("stand-in") << true;
    QTest::newRow("plain file") << false;
}

void TestMainWindow::startsWithCspEvenIfNotExecutable()
{
    QFETCH(bool, executable);
    CspStandIn csp;
    QVERIFY(csp.isValid());
    if (!executable) {
        csp.remove("cryptcp");
        QFile plain(csp.dir() + "cryptcp");
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }
    // Every listing takes a while (150 ms of the shortened waits).
    for (const char *tool : {"certmgr", "csptest"}) {
        StandInRule slow;
        slow.tool = tool;
        slow.anyArgs = true;
        slow.delayMs = 15000;
        csp.addRule(slow);
    }
    MainWindow w(nullptr, csp.dir());
    auto *label = w.findChild<QLabel *>("label_cryptopro");
    QCOMPARE(label->text(), QString("ДА"));
    QCOMPARE(label->styleSheet(), QString("color: green"));
    QVERIFY(w.TestCryptopro());
    // The three listings start together, in any order; the reader listing after all of them.
    QStringList runs, endsBeforeStart;
    for (const StandInCall &call : csp.calls()) {
        runs << (QStringList{call.tool} + call.args).join(' ');
        endsBeforeStart << QString::number(call.endsBeforeStart);
    }
    QCOMPARE(endsBeforeStart, QStringList({"0", "0", "0", "3"}));
    std::sort(runs.begin(), runs.begin() + qMin(3, int(runs.size())));
    QCOMPARE(runs, QStringList({"certmgr -list -store uMy", "certmgr -list -store uRoot",
                                "csptest -keyset -enum_cont -fqcn -verifyc",
                                "csptest -enum -info -type PP_ENUMREADERS"}));
}

void TestMainWindow::quitClosesTheWindow()
{
    MainWindow w(nullptr, env->csp.dir());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    WindowTest::setText(w, "lineEdit_SN", "Петров"); // saved without a question
    w.findChild<QPushButton *>("pushButton_quit")->click();
    QVERIFY(!w.isVisible());
    QVERIFY(env->dialogs.shown.isEmpty());
}

void TestMainWindow::closingAsksToSaveChangedFields_data()
{
    QTest::addColumn<QString>("typed"); // into a field of the documents tab
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saved"); // "-" for no saved form
    QTest::addColumn<bool>("closes");
    QTest::newRow("unchanged: no question") << "" << int(QMessageBox::Yes) << "-" << true;
    QTest::newRow("changed, Yes saves") << "Петров" << int(QMessageBox::Yes) << "Петров" << true;
    QTest::newRow("changed, No") << "Петров" << int(QMessageBox::No) << "-" << true;
    QTest::newRow("changed, Отмена stays") << "Петров" << int(QMessageBox::Cancel) << "-" << false;
}

void TestMainWindow::closingAsksToSaveChangedFields()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, saved);
    QFETCH(bool, closes);
    MainWindow w(nullptr, env->csp.dir());
    w.show();
    WindowTest::setText(w, "lineEdit_boss", typed);
    env->dialogs.buttons << QMessageBox::StandardButton(answer);
    QCOMPARE(w.close(), closes);
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(w.findChild<QLineEdit *>("lineEdit_boss")->text(), typed);
    const MessageSpec q = env->dialogs.shown.value(0).message;
    QCOMPARE(env->dialogs.shown.size(), typed.isEmpty() ? 0 : 1);
    QVERIFY(typed.isEmpty() ||
            (q.parent == &w && q.title == "Velmora" && q.text == "Сохранить данные формы?" &&
             q.buttons == (QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) &&
             q.defaultButton == QMessageBox::Yes && q.escapeButton == QMessageBox::Cancel));
    const QString file = formFilePath(env->home.path());
    QCOMPARE(QFileInfo::exists(file) ? loadFormFile(file).value("boss") : "-", saved);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
