#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "containers/keycontainers.h"
#include "csp/earlierfile.h"
#include "csp/toolrunner.h"
#include "request/mytranslit.h"
#include "request/requestcommand.h"
#include "request/requestlog.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

void MainWindow::on_pushButton_req_clicked()
{
    const bool newKey = ui->checkBox_makekey->isChecked();
    if (newKey && !KeyContainers::isKeyStore(ui->comboBox_fd->currentText())) {
        Dialogs::inform(KeyContainers::noKeyStoreMessage());
        return;
    }

    RequestLog log;

    QString messages = QStringLiteral("\n");
    if (!ErrorsInspection(messages)) {
        Dialogs::inform(messages);
        date_Set();
        return;
    }
    // Whatever happens from here on, the form is saved once more on the way out; after a failed
    // save the user has been told once, and the values are still asked for when closing.
    const bool saved = date_Set();
    const auto saveAgain = qScopeGuard([this, saved] {
        if (saved)
            date_Set();
    });

    const bool privatePerson = ui->checkBox_fiz->isChecked();
    const QString dn = RequestCommand::distinguishedName(
        formData, privatePerson, ui->comboBox_C->currentText(), ui->comboBox_S->currentText());
    const QString usage =
        RequestCommand::usageList(ui->checkBox_egis->isChecked(), ui->checkBox_pgu->isChecked());

    QString owner = ui->lineEdit_SN->text() + QLatin1Char(' ') + ui->lineEdit_G->text();
    QString name;
    mytranslit().myTranslit(owner, name);
    if (!mytranslit::holdsLetter(name)) {
        MessageSpec spec;
        spec.parent = this;
        spec.text = mytranslit::noLetterMessage();
        Dialogs::current().message(spec);
        return;
    }

    const QStringList container = RequestCommand::containerArguments(
        newKey, ui->comboBox_fd->currentText(), ui->comboBox_seakeys->currentText(), name);

    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = tr("Выберите директорию для сохранения файла");
    spec.directory = homeDir;
    spec.options = QFileDialog::ShowDirsOnly;
    const QString directory = Dialogs::current().existingDirectory(spec);
    if (directory.isEmpty())
        return;

    const QString requestPath = directory + QLatin1Char('/') + name + QStringLiteral(".req");
    // An earlier request of the same name may be the one about to go to the centre: it is
    // replaced only when the user says so, and it is back unless a new request is made.
    EarlierFile earlier(requestPath);
    if (EarlierFile::existsAt(requestPath) &&
        !Dialogs::askToReplace(this, QStringLiteral("Файл запроса уже существует:\n") +
                                         requestPath + QStringLiteral("\nЗаменить его?")))
        return;
    // Created empty beforehand, so that a folder the utility cannot write to is found out before
    // it runs, and so that nothing but the new request passes for one.
    QFile requestFile(requestPath);
    if (!earlier.setAside() || !requestFile.open(QIODevice::WriteOnly)) {
        Dialogs::inform(tr("Выберите другую папку для сохранения запроса"));
        return;
    }
    requestFile.close();

    // The CSP may open its own windows here, to gather random keystrokes for a new key and to
    // ask for the container's password: however long the user takes, the run is not cut off.
    ToolOptions options;
    options.label = QStringLiteral(
        "Создание запроса. Если КриптоПро CSP откроет своё окно, следуйте его указаниям.");
    options.finishWaitMs = ToolOptions::noTimeLimit;
    const int providerType = RequestCommand::providerType(ui->comboBox_provtype->currentText());
    const ToolResult result = ToolRunner::run(
        cspBinDir + QStringLiteral("cryptcp"),
        RequestCommand::arguments(dn, providerType, container, usage, requestPath), options);
    // An empty file left behind would pass for the request.
    const bool made = result.succeeded() && QFileInfo(requestPath).size() > 0;
    if (!made)
        QFile::remove(requestPath);
    earlier.finish(made);
    QString shown = result.errorText;
    if (result.ended())
        shown = result.output +
                (made ? QStringLiteral("\nФаил запроса: ") + requestPath + QLatin1Char('\n')
                      : QStringLiteral("\nФайл запроса не создан.\n"));
    if (!result.cancelled())
        log.write(shown);
    if (result.cancelled())
        return;
    MessageSpec box = Dialogs::resultBox(result, QStringLiteral("Запрос создан."));
    box.text = shown;
    if (!made && box.icon != QMessageBox::Warning) {
        // Ended well by its exit code and output, yet wrote no request.
        box.informativeText = QStringLiteral("Не выполнено.");
        box.icon = QMessageBox::Warning;
    }
    Dialogs::current().message(box);
}
