#include "mainwindow.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>

MainWindow::MainWindow(QWidget *parent, const QString &cspBinDir)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
    , cspBinDir(cspBinDir)
    , homeDir(QDir::homePath())
{
    ui->setupUi(this);
    data_Read();

    if (TestCryptopro()) {
        ui->label_cryptopro->setText(QStringLiteral("ДА"));
        ui->label_cryptopro->setStyleSheet(QStringLiteral("color: green"));
        ui->pushButton_sysser->click();
        ui->pushButton_keys->click();
    } else {
        ui->label_cryptopro->setText(QStringLiteral("НЕТ"));
        ui->label_cryptopro->setStyleSheet(QStringLiteral("color: red"));
        // Only the layout's own switch: the request form stays usable without the CSP, so that
        // the documents can still be prepared on another machine.
        ui->gridLayout_2->setEnabled(false);
    }
}

MainWindow::~MainWindow()
{
    ui.reset();
}

bool MainWindow::TestCryptopro()
{
    return QFileInfo::exists(cspBinDir + QStringLiteral("cryptcp"));
}

void MainWindow::on_pushButton_quit_clicked()
{
    // The only place the form is saved on leaving: closing the window otherwise keeps the
    // previous save.
    date_Set();
    close();
}
