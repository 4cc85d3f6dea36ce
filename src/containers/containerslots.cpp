// The container and key-store lists of the top rows, and copying and deleting a container.
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "containers/keycontainers.h"
#include "csp/csperrors.h"
#include "csp/toolrunner.h"

#include "ui_mainwindow.h"

#include <QTime>

using namespace KeyContainers;

void MainWindow::on_pushButton_keys_clicked()
{
    showContainers(ToolRunner::run(containerListing()));
    const QStringList readers = searchTokens();
    ui->comboBox_fd->addItems(readers);
}

ToolJob MainWindow::containerListing() const
{
    ToolJob job{cspBinDir + QStringLiteral("csptest"), containerListingArguments(), {}};
    job.options.label = QStringLiteral("Поиск контейнеров…");
    return job;
}

void MainWindow::showContainers(const ToolResult &listing)
{
    if (!listing.ended()) {
        Dialogs::informResult(listing);
        return;
    }
    ui->comboBox_seakeys->clear();
    // The combo box's own limit drops what does not fit, "none" included.
    ui->comboBox_seakeys->addItems(containerNames(listing.output));
    ui->comboBox_seakeys->addItem(noneEntry());
}

QStringList MainWindow::searchTokens()
{
    ui->comboBox_fd->clear();
    ToolOptions options;
    options.label = QStringLiteral("Поиск хранилищ ключей…");
    // A listing stuck on a token that does not answer is not interrupted; nothing reads it again.
    options.leaveRunning = true;
    options.keepAliveOwner = this;
    const ToolResult listing =
        ToolRunner::run(cspBinDir + QStringLiteral("csptest"), readerListingArguments(), options);
    if (!listing.ended()) {
        Dialogs::informResult(listing);
        return {};
    }
    return readerNames(listing.output);
}

void MainWindow::askForContainer(const QString &text)
{
    Dialogs::inform(text);
    // What the user sees after the box: the containers as the CSP lists them now.
    ui->pushButton_keys->click();
}

void MainWindow::on_pushButton_delkey_clicked()
{
    const QString source = ui->comboBox_seakeys->currentText();
    if (source == noneEntry()) {
        askForContainer();
        return;
    }

    MessageSpec question;
    question.parent = this;
    question.title = QStringLiteral("Удаление ключевого контейнера");
    question.text = QStringLiteral("Удалить контейнер ") + source + QStringLiteral("?\n");
    question.buttons = QMessageBox::No | QMessageBox::Yes;
    // Enter alone must not delete a key.
    question.defaultButton = QMessageBox::No;
    question.escapeButton = QMessageBox::No;
    if (Dialogs::current().message(question) != QMessageBox::Yes)
        return;

    ToolOptions options;
    options.label = QStringLiteral("Удаление контейнера…");
    const ToolResult deletion =
        ToolRunner::run(cspBinDir + QStringLiteral("csptest"), deleteArguments(source), options);
    Dialogs::informResult(deletion, QStringLiteral("Контейнер удалён."));
    if (deletion.succeeded())
        ui->pushButton_keys->click();
}

void MainWindow::on_pushButton_copykey_clicked()
{
    const QString source = ui->comboBox_seakeys->currentText();
    if (source == noneEntry()) {
        askForContainer(QStringLiteral("Выберите контейнер в \"Контейнеры\""));
        return;
    }

    if (!isKeyStore(ui->comboBox_fd->currentText())) {
        Dialogs::inform(noKeyStoreMessage());
        return;
    }

    const int number = copyNumber(QTime::currentTime().msecsSinceStartOfDay() / 1000);
    const QString target = copyTargetName(source, ui->comboBox_fd->currentText(), number);
    ToolOptions options;
    options.label = QStringLiteral("Копирование контейнера…");
    // The CSP asks for the container's password in a window of its own, so a copy takes as long
    // as the user needs; stopped half-way it could leave a broken container on the target store.
    options.finishWaitMs = ToolOptions::noTimeLimit;
    options.confirmCancel = [this] { return askToStopCopy(); };
    const ToolResult copy =
        ToolRunner::run(QStringLiteral("screepts/copykey.sh"), {source, target}, options);
    // A copy that printed an error code made no container, whatever its exit code.
    const bool copied = !CspErrors::verdict(copy, {}).failed;
    Dialogs::informResult(copy, QStringLiteral("Контейнер скопирован."),
                          copied ? QStringLiteral("Новый контейнер: ") + target : QString());
    if (copied)
        ui->pushButton_keys->click();
}

bool MainWindow::askToStopCopy()
{
    MessageSpec question;
    question.parent = this;
    question.text = QStringLiteral("Копирование контейнера не завершено. Прервать его?");
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.defaultButton = QMessageBox::No;
    return Dialogs::current().message(question) == QMessageBox::Yes;
}
