// Signing, encrypting, checking and recovering documents with cryptcp and the certificate chosen
// in the certificate table.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "csp/earlierfile.h"
#include "csp/runbatch.h"
#include "csp/toolrunner.h"
#include "signing/signingcommand.h"

#include "ui_mainwindow.h"

#include <QFileInfo>

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

FileDialogSpec fileDialog(QWidget *parent, const QString &caption, const QString &directory,
                          const QString &filter)
{
    FileDialogSpec spec;
    spec.parent = parent;
    spec.caption = caption;
    spec.directory = directory;
    spec.filter = filter;
    return spec;
}

ToolJob cryptcpJob(const QString &cspBinDir, const SigningCommand::FileRun &run,
                   const QString &label)
{
    ToolJob job{cspBinDir + QStringLiteral("cryptcp"), run.arguments,
                SigningCommand::answering(run.answers)};
    job.options.label = label;
    return job;
}

// The file a run wrote, once it succeeded and the file is there; empty otherwise.
QString writtenFile(const SigningCommand::FileRun &run, const ToolResult &result)
{
    return result.succeeded() && !run.written.isEmpty() && QFileInfo(run.written).isFile()
               ? run.written
               : QString();
}

// The utility's own words in a box of their own, with the verdict and where the result went.
void informWritten(const ToolResult &result, const QString &successSentence, const QString &written)
{
    Dialogs::informResult(result, successSentence,
                          written.isEmpty() ? QString()
                                            : QStringLiteral("Файл сохранён: ") + written);
}

// One file: its box, with where the result went.
void runOne(const QString &cspBinDir, const QString &label, const QString &successSentence,
            const SigningCommand::FileRun &run)
{
    if (!run.refusal.isEmpty()) {
        Dialogs::inform(run.refusal);
        return;
    }
    const ToolResult result = ToolRunner::run(cryptcpJob(cspBinDir, run, label));
    informWritten(result, successSentence, writtenFile(run, result));
}

// Several files one after another, then one box for all of them. Отмена during one run skips
// the rest.
void runSeveral(QWidget *window, const QString &cspBinDir, const QString &step,
                const QString &successSentence, const QStringList &inputs,
                const QList<SigningCommand::FileRun> &runs)
{
    QList<RunBatch::Item> items;
    for (int i = 0; i < inputs.size(); ++i) {
        RunBatch::Item item;
        item.name = QFileInfo(inputs[i]).fileName();
        item.job = cryptcpJob(cspBinDir, runs[i], QString());
        item.refusal = runs[i].refusal;
        item.written = runs[i].written;
        item.successSentence = successSentence;
        items << item;
    }
    Dialogs::informBatch(window, RunBatch::run(step, items));
}

// `label` names the run of a single file, `step` each of several ("Подписание файла").
void runFiles(QWidget *window, const QString &cspBinDir, const QString &label, const QString &step,
              const QString &successSentence, const QStringList &inputs,
              const QList<SigningCommand::FileRun> &runs)
{
    if (inputs.size() == 1)
        runOne(cspBinDir, label, successSentence, runs.first());
    else
        runSeveral(window, cspBinDir, step, successSentence, inputs, runs);
}

} // namespace

void MainWindow::on_checkBox_crypt_toggled(bool checked)
{
    // Encryption has no detached form.
    ui->checkBox_detached->setEnabled(!checked);
}

void MainWindow::on_pushButton_crypt_clicked()
{
    const QStringList inputs = Dialogs::current().openFileNames(
        fileDialog(this, tr("Выберите файл для подписания"), homeDir, QString()));
    const ChosenCertificate certificate = chosenCertificate(ui->tableWidgetCert);
    if (inputs.isEmpty() || !certificate.selected) {
        Dialogs::inform(tr("Не выбран файл или сертификат"));
        return;
    }
    using SigningCommand::Signing;
    const Signing kind = ui->checkBox_crypt->isChecked()      ? Signing::Encrypted
                         : ui->checkBox_detached->isChecked() ? Signing::Detached
                                                              : Signing::Attached;
    QList<SigningCommand::FileRun> runs;
    for (const QString &input : inputs)
        runs << SigningCommand::signing(kind, certificate.thumbprint, certificate.store, input);
    const bool encrypt = kind == Signing::Encrypted;
    runFiles(this, cspBinDir,
             encrypt ? QStringLiteral("Шифрование файла…") : QStringLiteral("Подписание файла…"),
             encrypt ? QStringLiteral("Шифрование файла") : QStringLiteral("Подписание файла"),
             encrypt ? QStringLiteral("Файл зашифрован.") : QStringLiteral("Файл подписан."),
             inputs, runs);
}

void MainWindow::on_pushButton_verifile_clicked()
{
    const QStringList inputs = Dialogs::current().openFileNames(fileDialog(
        this, tr("Выберите файл для проверки подписи"), homeDir, QStringLiteral("*.sig")));
    if (inputs.isEmpty())
        return;
    QList<SigningCommand::FileRun> runs;
    for (const QString &input : inputs)
        runs << SigningCommand::checking(ui->checkBox_detached->isChecked(), input);
    runFiles(this, cspBinDir, QStringLiteral("Проверка подписи…"),
             QStringLiteral("Проверка подписи файла"), QStringLiteral("Подпись верна."), inputs,
             runs);
}

void MainWindow::on_pushButton_clicked()
{
    const QString input = Dialogs::current().openFileName(
        fileDialog(this, tr("Выберите файл подписи для извлечения исходного документа"), homeDir,
                   QStringLiteral("*.sig *.crypt")));
    if (input.isEmpty())
        return;
    const ChosenCertificate certificate = chosenCertificate(ui->tableWidgetCert);
    const SigningCommand::Recovery recovery =
        SigningCommand::recovery(input, certificate.selected, certificate.thumbprint);
    if (!recovery.refusal.isEmpty()) {
        Dialogs::inform(recovery.refusal);
        return;
    }
    // The document may be one the user has edited since: it is written over only when the user
    // says so, and it is back unless the run made a new one.
    const QString output = recovery.arguments.last();
    EarlierFile earlier(output);
    if (EarlierFile::existsAt(output) &&
        !Dialogs::askToReplace(this, QStringLiteral("Файл уже существует:\n") + output +
                                         QStringLiteral("\nЗаменить его?")))
        return;
    if (!earlier.setAside()) {
        MessageSpec spec;
        spec.icon = QMessageBox::Warning;
        spec.text = QStringLiteral("Не удалось заменить файл:\n") + output;
        spec.informativeText = earlier.errorText();
        Dialogs::current().message(spec);
        return;
    }
    const SigningCommand::FileRun run{recovery.arguments, output, {}, 1};
    const bool extract = recovery.arguments.first() == QLatin1String("-verify");
    const ToolResult result =
        ToolRunner::run(cryptcpJob(cspBinDir, run,
                                   extract ? QStringLiteral("Извлечение документа…")
                                           : QStringLiteral("Расшифрование файла…")));
    const QString written = writtenFile(run, result);
    earlier.finish(!written.isEmpty());
    informWritten(result,
                  extract ? QStringLiteral("Документ извлечён.")
                          : QStringLiteral("Файл расшифрован."),
                  written);
}
