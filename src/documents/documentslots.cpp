#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "documents/applydoc.h"
#include "documents/documentcontent.h"
#include "request/mytranslit.h"
#include "ui_mainwindow.h"

void MainWindow::on_pushButton_apply_clicked()
{
    writeDocument(false);
}

void MainWindow::on_pushButton_trast_clicked()
{
    writeDocument(true);
}

void MainWindow::writeDocument(bool powerOfAttorney)
{
    // Saved first, even if the user cancels below: the document is built from the saved form,
    // so what it shows and the name taken from the fields agree. Unsaved, the document would
    // show the values of an earlier save.
    if (!date_Set())
        return;
    const QString surname = ui->lineEdit_SN->text();
    const QString givenNames = ui->lineEdit_G->text();
    const QString fileName = powerOfAttorney ? powerOfAttorneyFileName(surname, givenNames)
                                             : applicationFileName(surname, givenNames);
    if (fileName.isEmpty()) {
        MessageSpec spec;
        spec.parent = this;
        spec.text = mytranslit::noLetterMessage();
        Dialogs::current().message(spec);
        return;
    }

    FileDialogSpec spec;
    spec.parent = this;
    spec.caption = powerOfAttorney ? tr("Выберите каталог для сохранения файла доверенности")
                                   : tr("Выберите каталог для сохранения файла заявки");
    spec.directory = homeDir;
    spec.options = QFileDialog::ShowDirsOnly;
    const QString directory = Dialogs::current().existingDirectory(spec);
    if (directory.isEmpty())
        return;

    const QString path = directory + QLatin1Char('/') + fileName;
    applyDoc document;
    if (powerOfAttorney)
        document.shapetrast();
    else
        document.shapeapply();
    QString error;
    if (!document.write(path, &error))
        Dialogs::inform(documentWriteFailedMessage(path, error));
    else if (powerOfAttorney)
        Dialogs::inform(powerOfAttorneyCreatedMessage(path));
    else
        Dialogs::inform(applicationCreatedMessage(path));
}
