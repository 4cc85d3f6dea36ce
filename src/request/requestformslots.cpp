#include "app/mainwindow.h"
#include "request/requestvalidation.h"

#include "ui_mainwindow.h"

void MainWindow::on_checkBox_fiz_clicked()
{
    const bool privatePerson = ui->checkBox_fiz->isChecked();
    // Hidden fields keep their text; whether they go into a request is decided there.
    const QList<QWidget *> organisationOnly{ui->lineEdit_OU,     ui->label_OU,      ui->lineEdit_O,
                                            ui->label_O,         ui->lineEdit_OGRN, ui->label_OGRN,
                                            ui->lineEdit_Street, ui->label_Street};
    for (QWidget *w : organisationOnly)
        w->setVisible(!privatePerson);
    if (privatePerson) {
        ui->label_CN->setText(QStringLiteral("ФИО (CN):"));
        ui->label_INN->setText(QStringLiteral("ИНН ФИЗЛ (INN):"));
    } else {
        ui->label_CN->setText(QStringLiteral("Наименовние организации (CN):"));
        ui->label_INN->setText(QStringLiteral("ИНН ЮРЛ (INN):"));
    }
}

void MainWindow::on_lineEdit_CN_textChanged(const QString &text)
{
    // An organisation's name is its common name.
    if (!ui->checkBox_fiz->isChecked())
        ui->lineEdit_O->setText(text);
}

// A private person's common name is "surname given-names"; the space stays even when one part
// is empty.
void MainWindow::on_lineEdit_SN_textChanged(const QString &text)
{
    if (ui->checkBox_fiz->isChecked())
        ui->lineEdit_CN->setText(text + QLatin1Char(' ') + ui->lineEdit_G->text());
}

void MainWindow::on_lineEdit_G_textChanged(const QString &text)
{
    if (ui->checkBox_fiz->isChecked())
        ui->lineEdit_CN->setText(ui->lineEdit_SN->text() + QLatin1Char(' ') + text);
}

bool MainWindow::ErrorsInspection(QString &messages)
{
    RequestFormValues v;
    v.sn = ui->lineEdit_SN->text();
    v.g = ui->lineEdit_G->text();
    v.i = ui->lineEdit_I->text();
    v.t = ui->lineEdit_T->text();
    v.o = ui->lineEdit_O->text();
    v.street = ui->lineEdit_Street->text();
    v.e = ui->lineEdit_E->text();
    v.snils = ui->lineEdit_Snils->text();
    v.inn = ui->lineEdit_INN->text();
    v.ogrn = ui->lineEdit_OGRN->text();
    v.l = ui->lineEdit_L->text();
    v.privatePerson = ui->checkBox_fiz->isChecked();
    v.makeKey = ui->checkBox_makekey->isChecked();
    v.container = ui->comboBox_seakeys->currentText();
    return inspectRequestForm(v, messages);
}
