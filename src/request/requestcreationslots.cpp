#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "request/mytranslit.h"
#include "request/requestcommand.h"
#include "request/requestlog.h"
#include "ui_mainwindow.h"

#include <QFile>
#include <QScopeGuard>

void MainWindow::on_pushButton_req_clicked()
{
    const bool newKey = ui->checkBox_makekey->isChecked();
    if (newKey && ui->comboBox_fd->currentText() == QLatin1String("none")) {
        Dialogs::inform(tr("Не выбрано хранилище для ключа\nнажмите кнопку \"Найти доступные "
                           "контейниры\"\nвыберите хранилище для ключа."));
        return;
    }

    RequestLog log;

    QString messages = QStringLiteral("\n");
    if (!ErrorsInspection(messages)) {
        Dialogs::inform(messages);
        date_Set();
        return;
    }
    date_Set();
    // Whatever happens from here on, the form is saved once more on the way out.
    const auto saveAgain = qScopeGuard([this] { date_Set(); });

    const bool privatePerson = ui->checkBox_fiz->isChecked();
    const QString dn = RequestCommand::distinguishedName(
        formData, privatePerson, ui->comboBox_C->currentText(), ui->comboBox_S->currentText());
    const QString usage =
        RequestCommand::usageList(ui->checkBox_egis->isChecked(), ui->checkBox_pgu->isChecked());

    QString owner = ui->lineEdit_SN->text() + QLatin1Char(' ') + ui->lineEdit_G->text();
    QString name;
    mytranslit().myTranslit(owner, name);

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

    // Created empty beforehand, so that an earlier request of the same name is not mistaken
    // for this one when the utility fails.
    const QString requestPath = directory + QLatin1Char('/') + name + QStringLiteral(".req");
    QFile requestFile(requestPath);
    if (!requestFile.open(QIODevice::WriteOnly)) {
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
    const ToolResult result =
        ToolRunner::run(cspBinDir + QStringLiteral("cryptcp"),
                        RequestCommand::arguments(dn, container, usage, requestPath), options);
    if (result.cancelled())
        return;
    if (!result.ended()) {
        log.write(result.errorText);
        Dialogs::inform(result.errorText);
        return;
    }
    const QString shown =
        result.output + QStringLiteral("\nФаил запроса: ") + requestPath + QLatin1Char('\n');
    log.write(shown);
    Dialogs::inform(shown);
}
