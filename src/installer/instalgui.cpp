#include "installer/instalgui.h"

#include "app/dialogs.h"
#include "csp/toolrunner.h"
#include "installer/installersteps.h"
#include "ui_instalgui.h"

#include <QDir>

Instalgui::Instalgui(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Instalgui>())
{
    ui->setupUi(this);
    // Each press of the CSP button opens a new installer; a closed one is of no further use.
    setAttribute(Qt::WA_DeleteOnClose);
}

Instalgui::~Instalgui() = default;

void Instalgui::on_pushButton_2_clicked()
{
    close();
}

void Instalgui::on_pushButton_scp_clicked()
{
    if (unpackArchive(QStringLiteral("Выберите фаил архива КриптоПро CSP"),
                      InstallerSteps::cspArchiveName(ui->comboBox_OS->currentIndex()))) {
        ui->progressBar->setValue(2);
        ui->pushButton_scp->setEnabled(false);
    }
}

void Instalgui::on_pushButton_cades_clicked()
{
    if (unpackArchive(QStringLiteral("Выберите фаил архива плагина"),
                      InstallerSteps::pluginArchiveName())) {
        ui->progressBar->setValue(4);
        ui->pushButton_cades->setEnabled(false);
    }
}

bool Instalgui::unpackArchive(const QString &caption, const QString &archiveName)
{
    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = caption;
    spec.directory = QDir::homePath();
    // Only a file of exactly that name can be picked.
    spec.filter = archiveName;
    const QString archive = Dialogs::current().openFileName(spec);
    if (archive.isEmpty()) {
        ui->textEdit_install->append(QStringLiteral("Фаил архива не выбран\n"));
        return false;
    }

    ToolOptions options;
    options.finishWaitMs = InstallerSteps::unpackWaitMs;
    options.label = QStringLiteral("Распаковка архива…");
    const InstallerSteps::UnpackOutcome outcome = InstallerSteps::unpackOutcome(
        ToolRunner::run(InstallerSteps::unpackScript(), {archive}, options));
    if (!outcome.text.isEmpty())
        ui->textEdit_install->append(outcome.text);
    return outcome.unpacked;
}

void Instalgui::on_pushButton_clicked()
{
    // The terminal runs on by itself: the script reports in it and waits for Enter, so the
    // dialog neither waits for it nor reports its end.
    if (!ToolRunner::startDetached(
            InstallerSteps::terminalProgram(),
            InstallerSteps::terminalArguments(ui->comboBox_OS->currentIndex(), QDir::homePath())))
        ui->textEdit_install->append(QStringLiteral("ERROR"));
}
