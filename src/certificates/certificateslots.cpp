// The certificate table, installing certificates and revocation lists, and opening the
// certificate dialog.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "certificates/certcommands.h"
#include "certificates/certlisting.h"
#include "certificates/certtable.h"
#include "certificates/dialog.h"
#include "containers/keycontainers.h"
#include "csp/fileendings.h"
#include "csp/runbatch.h"
#include "csp/toolrunner.h"

#include "ui_mainwindow.h"

using namespace CertCommands;
using KeyContainers::noneEntry;

namespace {

const QString installed = QStringLiteral("Сертификат установлен.");

void runAndShow(const CertCommand &command, const QString &successSentence,
                const ToolOptions &options = {})
{
    Dialogs::informResult(CertCommands::run(command, options), successSentence);
}

} // namespace

void MainWindow::on_pushButton_sysser_clicked()
{
    fillCertificateTable(ToolRunner::runAll(certificateListings()));
}

QList<ToolJob> MainWindow::certificateListings() const
{
    QList<ToolJob> jobs;
    for (const QString &store : tableStores())
        jobs << job(listStore(cspBinDir, store));
    return jobs;
}

QList<CertificateRecord> MainWindow::fillCertificateTable(const QList<ToolResult> &listings)
{
    const QStringList stores = tableStores();
    QList<CertificateRecord> records;
    for (int i = 0; i < listings.size(); ++i) {
        if (!listings[i].ended()) {
            Dialogs::informResult(listings[i]);
            continue;
        }
        records += CertListing::parse(listings[i].output, stores.value(i));
    }
    CertTable::fill(ui->tableWidgetCert, records);
    CertTable::applyFilter(ui->tableWidgetCert, ui->lineEdit_certfilter->text());
    CertTable::fitColumns(ui->tableWidgetCert);
    return records;
}

void MainWindow::on_lineEdit_certfilter_textChanged(const QString &text)
{
    CertTable::applyFilter(ui->tableWidgetCert, text);
}

void MainWindow::warnOfExpiringCertificates()
{
    if (expiryWarning.isEmpty())
        return;
    MessageSpec box;
    box.parent = this;
    box.title = QStringLiteral("Velmora");
    box.icon = QMessageBox::Warning;
    box.text = expiryWarning;
    Dialogs::current().message(box);
}

QString MainWindow::openCertificateFile(const QString &caption, const QString &filter)
{
    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = caption;
    spec.directory = homeDir;
    spec.filter = filter;
    return Dialogs::current().openFileName(spec);
}

void MainWindow::on_pushButton_usercer_clicked()
{
    const QString container = ui->comboBox_seakeys->currentText();
    const QString path = openCertificateFile(QStringLiteral("Выберите файл пользователя"),
                                             QStringLiteral("*.p7b *.cer *.crt"));
    if (path.isEmpty())
        return;

    if (container == noneEntry()) {
        Dialogs::inform(QStringLiteral("Не выбран контейнер. ВНИМАНИЕ:\nсертификат будет "
                                       "установлен\nбез привязки к контейнеру"));
        runAndShow(*installUserCertificate(cspBinDir, path, QString()), installed);
        ui->pushButton_sysser->click();
        ui->pushButton_keys->click();
        return;
    }
    const std::optional<CertCommand> install = installUserCertificate(cspBinDir, path, container);
    if (!install) {
        Dialogs::inform(FileEndings::refusal(path, certificateEndings()));
        return;
    }
    runAndShow(*install, installed);
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_cerkeys_clicked()
{
    const QString container = ui->comboBox_seakeys->currentText();
    if (container == noneEntry()) {
        askForContainer();
        return;
    }
    runAndShow(installContainerCertificate(cspBinDir, container), installed);
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_allcerts_clicked()
{
    QStringList containers;
    for (int i = 0; i < ui->comboBox_seakeys->count(); ++i) {
        if (ui->comboBox_seakeys->itemText(i) != noneEntry())
            containers << ui->comboBox_seakeys->itemText(i);
    }
    if (containers.isEmpty()) {
        askForContainer();
        return;
    }
    // Отмена stops the whole round: the containers after it are not touched either.
    QList<RunBatch::Item> items;
    for (const QString &container : containers) {
        RunBatch::Item item;
        item.name = container;
        item.job = CertCommands::job(installContainerCertificate(cspBinDir, container));
        item.successSentence = installed;
        items << item;
    }
    Dialogs::informBatch(this,
                         RunBatch::run(QStringLiteral("Установка сертификатов контейнера"), items));
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_rootkey_clicked()
{
    const QString path =
        openCertificateFile(QStringLiteral("Выберите корневой сертификат удостоверяющего центра"),
                            QStringLiteral("*.p7b *.cer *.crt"));
    if (path.isEmpty())
        return;

    if (const std::optional<CertCommand> install = installRootCertificate(cspBinDir, path)) {
        // certmgr may ask on its standard input before it trusts a new root; the user answers.
        ToolOptions options;
        options.prompt = QStringLiteral("(o)OK, (c)Cancel");
        options.onPrompt = [this](const QString &output) {
            MessageSpec question;
            question.parent = this;
            question.title = QStringLiteral("Установка корневого сертификата");
            question.text = output.trimmed();
            question.informativeText = QStringLiteral("Да — установить сертификат в хранилище "
                                                      "корневых сертификатов, Нет — не "
                                                      "устанавливать.");
            question.buttons = QMessageBox::No | QMessageBox::Yes;
            return Dialogs::current().message(question) == QMessageBox::Yes ? QByteArray("o\n")
                                                                            : QByteArray("c\n");
        };
        runAndShow(*install, installed, options);
    } else {
        Dialogs::inform(FileEndings::refusal(path, certificateEndings()));
    }
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_CRL_clicked()
{
    const QString path = openCertificateFile(
        QStringLiteral("Выберите файл списка отозванных сертификатов"), QStringLiteral("*.crl"));
    if (path.isEmpty())
        return;
    if (const std::optional<CertCommand> install = installCrl(cspBinDir, path))
        runAndShow(*install, QStringLiteral("Список отзыва установлен."));
    else
        Dialogs::inform(FileEndings::refusal(path, crlEndings()));
}

void MainWindow::on_pushButton_seakeys_clicked()
{
    const QString container = ui->comboBox_seakeys->currentText();
    if (container == noneEntry()) {
        askForContainer();
        return;
    }
    Dialog dialog;
    const bool thumbprintMode = false;
    dialog.pushvisibel(thumbprintMode);
    dialog.binDir = cspBinDir;
    dialog.containerName = container;
    dialog.labelText(thumbprintMode);
    dialog.exec();
}

void MainWindow::on_tableWidgetCert_doubleClicked(const QModelIndex &index)
{
    const auto cellText = [this, &index](int column) {
        const QTableWidgetItem *item = ui->tableWidgetCert->item(index.row(), column);
        return item ? item->text() : QString();
    };
    Dialog dialog;
    const bool thumbprintMode = true;
    dialog.pushvisibel(thumbprintMode);
    dialog.binDir = cspBinDir;
    dialog.thumbprint = cellText(0);
    dialog.storeName = cellText(1);
    dialog.labelText(thumbprintMode);
    dialog.exec();
    if (dialog.certificateDeleted())
        ui->pushButton_sysser->click();
}
