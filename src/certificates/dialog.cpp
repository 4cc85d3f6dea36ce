#include "certificates/dialog.h"

#include "app/dialogs.h"
#include "certificates/certcommands.h"
#include "csp/toolrunner.h"

#include "ui_dialog.h"

#include <QFontDatabase>

using namespace CertCommands;

namespace {

ToolResult runAndShow(const CertCommand &command, const QString &successSentence)
{
    const ToolResult result = CertCommands::run(command);
    Dialogs::informResult(result, successSentence);
    return result;
}

} // namespace

Dialog::Dialog(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog>())
{
    ui->setupUi(this);
    // The listing's values stand after a label column of fixed width: they line up only in a
    // font whose letters are all as wide.
    ui->label_sert->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

Dialog::~Dialog() = default;

void Dialog::pushvisibel(const bool &thumbprintMode)
{
    ui->pushButton_delcer->setVisible(thumbprintMode);
    ui->pushButton_export->setVisible(thumbprintMode);
    ui->pushButton_inst->setVisible(!thumbprintMode);
}

void Dialog::labelText(const bool &thumbprintMode)
{
    const ToolResult listing =
        CertCommands::run(thumbprintMode ? showInstalled(binDir, thumbprint, storeName)
                                         : showInContainer(binDir, containerName));
    ui->label_sert->setText(listing.ended() ? dialogText(listing.output) : listing.errorText);
}

void Dialog::on_pushButton_quit_clicked()
{
    close();
}

void Dialog::on_pushButton_inst_clicked()
{
    runAndShow(installContainerCertificate(binDir, containerName),
               QStringLiteral("Сертификат установлен."));
}

void Dialog::on_pushButton_export_clicked()
{
    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = QStringLiteral("Выберите каталог для сохранения сертификата");
    spec.directory = QStringLiteral("/home");
    spec.options = QFileDialog::ShowDirsOnly;
    const QString directory = Dialogs::current().existingDirectory(spec);
    if (directory.isEmpty())
        return;
    runAndShow(exportCertificate(binDir, thumbprint, storeName, directory),
               QStringLiteral("Сертификат сохранён."));
}

void Dialog::on_pushButton_delcer_clicked()
{
    // A deleted certificate cannot be brought back from here, so ask like every other removal.
    MessageSpec question;
    question.parent = this;
    question.title = QStringLiteral("Удаление сертификата");
    question.text = QStringLiteral("Удалить сертификат ") + thumbprint +
                    QStringLiteral(" из хранилища ") + storeName + QStringLiteral("?");
    question.buttons = QMessageBox::No | QMessageBox::Yes;
    // Enter alone must not delete a certificate.
    question.defaultButton = QMessageBox::No;
    question.escapeButton = QMessageBox::No;
    if (Dialogs::current().message(question) != QMessageBox::Yes)
        return;
    const ToolResult deletion = runAndShow(deleteCertificate(binDir, storeName, thumbprint),
                                           QStringLiteral("Сертификат удалён."));
    deleted = deleted || deletion.succeeded();
}
