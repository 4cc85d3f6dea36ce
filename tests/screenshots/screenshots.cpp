// Takes the README's pictures: the main window on each of its four tabs, drawn offscreen with
// QWidget::grab. The window runs against the stand-in CSP with made-up certificates, containers
// and a filled-in saved form, in a temporary HOME, with every message box answered unseen.
//   velmora_screenshots OUTPUT_DIR
#include "app/mainwindow.h"
#include "request/formfile.h"
#include "support/scripteddialogs.h"
#include "support/standin.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QEventLoop>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

const int labelWidth = 22;

QString listingLine(const QString &label, const QString &value)
{
    return label.leftJustified(labelWidth - 2) + QStringLiteral(": ") + value + QLatin1Char('\n');
}

struct Certificate
{
    QString issuer;
    QString subject;
    QString thumbprint;
    int daysLeft;
    QString container;
};

QString certificateListing(const QList<Certificate> &certificates)
{
    QString text = QStringLiteral("Certmgr 1.1 (c) \"Crypto-Pro\",  2007-2024.\n"
                                  "Program for managing certificates, CRLs and stores.\n\n"
                                  "=============================================================="
                                  "===============\n");
    const QDate today = QDate::currentDate();
    int number = 1;
    for (const Certificate &c : certificates) {
        const QDate from = today.addDays(c.daysLeft - 365);
        const QDate to = today.addDays(c.daysLeft);
        text += QString::number(number++) + QStringLiteral("-------\n");
        text += listingLine(QStringLiteral("Issuer"), c.issuer);
        text += listingLine(QStringLiteral("Subject"), c.subject);
        text += listingLine(QStringLiteral("Serial"), QStringLiteral("0x7C0000A1B2C3D4E5F6"));
        text += listingLine(QStringLiteral("SHA1 Hash"), QStringLiteral("0x") + c.thumbprint);
        text += listingLine(QStringLiteral("Not valid before"),
                            from.toString(QStringLiteral("dd/MM/yyyy")) +
                                QStringLiteral("  09:15:00 UTC"));
        text += listingLine(QStringLiteral("Not valid after"),
                            to.toString(QStringLiteral("dd/MM/yyyy")) +
                                QStringLiteral("  09:15:00 UTC"));
        if (!c.container.isEmpty())
            text += listingLine(QStringLiteral("Container"), c.container);
    }
    return text + QStringLiteral("============================================================"
                                 "=================\n\n[ErrorCode: 0x00000000]\n");
}

void prepareStandIn(CspStandIn &csp)
{
    const QString rootCa = QStringLiteral("CN=Учебный УЦ, O=ООО \"Пример\", C=RU");
    csp.on(QStringLiteral("certmgr"),
           {QStringLiteral("-list"), QStringLiteral("-store"), QStringLiteral("uRoot")},
           certificateListing(
               {{rootCa, rootCa, QStringLiteral("3A1F09C24E6B77D0815A2C3E4F5061728394A5B6"), 1200,
                 QString()}}));
    csp.on(QStringLiteral("certmgr"),
           {QStringLiteral("-list"), QStringLiteral("-store"), QStringLiteral("uMy")},
           certificateListing(
               {{rootCa,
                 QStringLiteral("SN=Иванова, G=Мария Петровна, CN=ООО \"Ромашка\", O=ООО "
                                "\"Ромашка\", C=RU"),
                 QStringLiteral("9C5E21B07A3344F1D26B8E90C1A7F3D5E4B62019"), 240,
                 QStringLiteral("\\\\.\\HDIMAGE\\ivanova_maria")},
                {rootCa, QStringLiteral("SN=Петров, G=Сергей Иванович, CN=Петров Сергей Иванович"),
                 QStringLiteral("47D2E8A1C06B3F5591E4A7C2B8D0F61E3A9C5B72"), 21,
                 QStringLiteral("\\\\.\\FLASH\\petrov_sergey")},
                {rootCa, QStringLiteral("SN=Сидоров, G=Олег Андреевич, CN=Сидоров Олег Андреевич"),
                 QStringLiteral("B18F3C9E2D7A40651C8E9F02A4D6B3C1E7F5A890"), -3, QString()}}));
    csp.on(QStringLiteral("csptest"),
           {QStringLiteral("-keyset"), QStringLiteral("-enum_cont"), QStringLiteral("-fqcn"),
            QStringLiteral("-verifyc")},
           QStringLiteral("CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                          "AcquireContext: OK. HCRYPTPROV: 6679219\n"
                          "\\\\.\\HDIMAGE\\ivanova_maria\n"
                          "\\\\.\\FLASH\\petrov_sergey\n"
                          "OK.\nTotal: SYS: 0,010 sec USR: 0,000 sec UTC: 0,060 sec\n"
                          "[ErrorCode: 0x00000000]\n"));
    csp.on(QStringLiteral("csptest"),
           {QStringLiteral("-enum"), QStringLiteral("-info"), QStringLiteral("-type"),
            QStringLiteral("PP_ENUMREADERS")},
           QStringLiteral("CSP (Type:80) v5.0.10003 KC1 Release Ver:5.0.12000 OS:Linux CPU:AMD64\n"
                          "AcquireContext: OK. HCRYPTPROV: 11225731\n"
                          "GetProvParam(PP_ENUMREADERS): OK.\n"
                          " 0x00000000    HDIMAGE\n"
                          " 0x00000000    FLASH\n"
                          "[ErrorCode: 0x00000000]\n"));
}

QMap<QString, QString> sampleForm()
{
    return {
        {QStringLiteral("SN"), QStringLiteral("Иванова")},
        {QStringLiteral("G"), QStringLiteral("Мария Петровна")},
        {QStringLiteral("CN"), QStringLiteral("ООО \"Ромашка\"")},
        {QStringLiteral("O"), QStringLiteral("ООО \"Ромашка\"")},
        {QStringLiteral("T"), QStringLiteral("Генеральный директор")},
        {QStringLiteral("OU"), QStringLiteral("Администрация")},
        {QStringLiteral("STREET"), QStringLiteral("ул. Лесная, д. 5")},
        {QStringLiteral("L"), QStringLiteral("г. Тверь")},
        {QStringLiteral("E"), QStringLiteral("info@romashka.example")},
        {QStringLiteral("INN"), QStringLiteral("7707083893")},
        {QStringLiteral("OGRN"), QStringLiteral("1027700132195")},
        {QStringLiteral("SNILS"), QStringLiteral("11223344595")},
        {QStringLiteral("passportser"), QStringLiteral("2804")},
        {QStringLiteral("passport"), QStringLiteral("123456")},
        {QStringLiteral("data"), QStringLiteral("12.03.2015")},
        {QStringLiteral("issued"), QStringLiteral("УФМС России по Тверской области")},
        {QStringLiteral("authorized"), QStringLiteral("Петров Сергей Иванович")},
        {QStringLiteral("authorfull"), QStringLiteral("Петрову Сергею Ивановичу")},
        {QStringLiteral("authorT"), QStringLiteral("Главный бухгалтер")},
        {QStringLiteral("authorPs"), QStringLiteral("2805")},
        {QStringLiteral("authorP"), QStringLiteral("654321")},
        {QStringLiteral("authorD"), QStringLiteral("01.02.2018")},
        {QStringLiteral("authorIs"), QStringLiteral("УМВД России по Тверской области")},
        {QStringLiteral("post"), QStringLiteral("Генеральный директор")},
        {QStringLiteral("boss"), QStringLiteral("Иванова М. П.")},
    };
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: velmora_screenshots OUTPUT_DIR\n";
        return 2;
    }
    const QString outputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();

    TestHome home;
    ScriptedDialogs dialogs;
    CspStandIn csp;
    if (!csp.isValid() || !QDir().mkpath(formFileDir(home.path())) ||
        !saveFormFile(formFilePath(home.path()), sampleForm())) {
        err << "velmora_screenshots: cannot prepare the temporary HOME or the stand-in\n";
        return 1;
    }
    prepareStandIn(csp);

    MainWindow window(nullptr, csp.dir());
    window.show();
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
    const QStringList names{QStringLiteral("certificates"), QStringLiteral("request"),
                            QStringLiteral("documents"), QStringLiteral("about")};
    if (!tabs || tabs->count() != names.size()) {
        err << "velmora_screenshots: the window has not the four tabs expected\n";
        return 1;
    }
    for (int i = 0; i < names.size(); ++i) {
        tabs->setCurrentIndex(i);
        // The line edits' clear buttons fade in; let the animation end so each picture is the
        // same on every run.
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        const QString path = outputDir + QLatin1Char('/') + names.at(i) + QStringLiteral(".png");
        if (!window.grab().save(path)) {
            err << "velmora_screenshots: cannot write " << path << '\n';
            return 1;
        }
        err << path << '\n';
    }
    for (const QString &text : dialogs.messageTexts())
        err << "velmora_screenshots: the window showed a message: " << text << '\n';
    return 0;
}
