// Signing, encrypting, checking and recovering documents with cryptcp and the certificate chosen
// in the certificate table.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "signing/signingcommand.h"

#include "ui_mainwindow.h"

namespace {

struct ChosenCertificate
{
    bool selected = false;
    QString thumbprint;
    QString store;
};

// The certificate of the table's current row, whichever other rows are selected as well. A
// selection without a current thumbprint cell counts as no certificate.
ChosenCertificate chosenCertificate(const QTableWidget *table)
{
    ChosenCertificate chosen;
    const int row = table->currentRow();
    const QTableWidgetItem *thumbprint = row < 0 ? nullptr : table->item(row, 0);
    if (table->selectedItems().isEmpty() || !thumbprint)
        return chosen;
    const QTableWidgetItem *store = table->item(row, 1);
    chosen.selected = true;
    chosen.thumbprint = thumbprint->text();
    chosen.store = store ? store->text() : QString();
    return chosen;
}

QString openFile(QWidget *parent, const QString &caption, const QString &directory,
                 const QString &filter)
{
    FileDialogSpec spec;
    spec.parent = parent;
    spec.caption = caption;
    spec.directory = directory;
    spec.filter = filter;
    return Dialogs::current().openFileName(spec);
}

// Runs cryptcp, answers its question(s) with "Y" and shows its own words, or why it did not end.
void runAndShow(const QString &cspBinDir, const QStringList &arguments, int answers,
                const QString &label)
{
    ToolOptions options = SigningCommand::answering(answers);
    options.label = label;
    const ToolResult result =
        ToolRunner::run(cspBinDir + QStringLiteral("cryptcp"), arguments, options);
    Dialogs::informResult(result);
}

} // namespace

void MainWindow::on_pushButton_crypt_clicked()
{
    const QString input = openFile(this, tr("Выберите файл для подписания"), homeDir, QString());
    const ChosenCertificate certificate = chosenCertificate(ui->tableWidgetCert);
    if (input.isEmpty() || !certificate.selected) {
        Dialogs::inform(tr("Не выбран файл или сертификат"));
        return;
    }
    const bool encrypt = ui->checkBox_crypt->isChecked();
    const QStringList arguments =
        encrypt ? SigningCommand::encryptArguments(certificate.thumbprint, certificate.store, input)
                : SigningCommand::signArguments(certificate.thumbprint, certificate.store, input);
    runAndShow(cspBinDir, arguments, 1,
               encrypt ? QStringLiteral("Шифрование файла…") : QStringLiteral("Подписание файла…"));
}

void MainWindow::on_pushButton_verifile_clicked()
{
    const QString input =
        openFile(this, tr("Выберите файл для проверки подписи"), homeDir, QStringLiteral("*.sig"));
    if (input.isEmpty())
        return;
    runAndShow(cspBinDir, SigningCommand::checkArguments(input), 2,
               QStringLiteral("Проверка подписи…"));
}

void MainWindow::on_pushButton_clicked()
{
    const QString input =
        openFile(this, tr("Выберите файл подписи для извлечения исходного документа"), homeDir,
                 QStringLiteral("*.sig *.crypt"));
    if (input.isEmpty())
        return;
    const ChosenCertificate certificate = chosenCertificate(ui->tableWidgetCert);
    const SigningCommand::Recovery recovery =
        SigningCommand::recovery(input, certificate.selected, certificate.thumbprint);
    if (!recovery.refusal.isEmpty()) {
        Dialogs::inform(recovery.refusal);
        return;
    }
    runAndShow(cspBinDir, recovery.arguments, 1,
               recovery.arguments.first() == QLatin1String("-verify")
                   ? QStringLiteral("Извлечение документа…")
                   : QStringLiteral("Расшифрование файла…"));
}
