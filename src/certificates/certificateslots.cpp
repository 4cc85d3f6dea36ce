// The certificate table, installing certificates and revocation lists, and opening the
// certificate dialog.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "certificates/certcommands.h"
#include "certificates/certlisting.h"
#include "certificates/certtable.h"
#include "certificates/dialog.h"
#include "containers/keycontainers.h"
#include "csp/toolrunner.h"

#include "ui_mainwindow.h"

using namespace CertCommands;
using KeyContainers::noneEntry;

namespace {

void runAndShow(const CertCommand &command, const ToolOptions &options = {})
{
    Dialogs::informResult(CertCommands::run(command, options));
}

} // namespace

void MainWindow::on_pushButton_sysser_clicked()
{
    QList<CertificateRecord> records;
    for (const QString &store : tableStores()) {
        const ToolResult listing = CertCommands::run(listStore(cspBinDir, store));
        if (!listing.ended()) {
            Dialogs::informResult(listing);
            continue;
        }
        records += CertListing::parse(listing.output, store);
    }
    CertTable::fill(ui->tableWidgetCert, records);
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
        runAndShow(*installUserCertificate(cspBinDir, path, QString()));
        ui->pushButton_keys->click();
        return;
    }
    const std::optional<CertCommand> install = installUserCertificate(cspBinDir, path, container);
    if (!install)
        return;
    runAndShow(*install);
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_cerkeys_clicked()
{
    const QString container = ui->comboBox_seakeys->currentText();
    if (container == noneEntry()) {
        Dialogs::inform(QStringLiteral("Не выбран контейнер"));
        ui->pushButton_keys->click();
        return;
    }
    runAndShow(installContainerCertificate(cspBinDir, container));
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
            question.buttons = QMessageBox::No | QMessageBox::Yes;
            return Dialogs::current().message(question) == QMessageBox::Yes ? QByteArray("o\n")
                                                                            : QByteArray("c\n");
        };
        runAndShow(*install, options);
    }
    ui->pushButton_sysser->click();
}

void MainWindow::on_pushButton_CRL_clicked()
{
    const QString path = openCertificateFile(
        QStringLiteral("Выберите файл списка отозванных сертификатов"), QStringLiteral("*.crl"));
    if (const std::optional<CertCommand> install = installCrl(cspBinDir, path))
        runAndShow(*install);
}

void MainWindow::on_pushButton_seakeys_clicked()
{
    const QString container = ui->comboBox_seakeys->currentText();
    if (container == noneEntry()) {
        Dialogs::inform(QStringLiteral("Не выбран контейнер"));
        ui->pushButton_keys->click();
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
}
