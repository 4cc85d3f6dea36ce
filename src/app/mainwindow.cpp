#include "app/mainwindow.h"

#include "app/dialogs.h"
#include "app/progresswindow.h"
#include "csp/toolrunner.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>

MainWindow::MainWindow(QWidget *parent, const QString &cspBinDir)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::MainWindow>())
    , cspBinDir(cspBinDir)
    , homeDir(QDir::homePath())
    , progress(std::make_unique<ProgressWindow>(this))
{
    ToolRunner::setCspBinDir(cspBinDir);
    progress->install();
    ToolRunner::setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
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
    progress.reset();
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

void MainWindow::closeEvent(QCloseEvent *event)
{
    QList<QPointer<QProcess>> runs;
    for (QProcess *process : findChildren<QProcess *>(QString(), Qt::FindDirectChildrenOnly))
        runs << process;
    for (const QPointer<QProcess> &run : runs) {
        while (run && ToolRunner::mustFinishBeforeQuit(run) &&
               !ToolRunner::waitForEnd(run, 30000,
                                       QStringLiteral("Завершение копирования контейнера…"))) {
            if (askToStopCopy() && run) {
                ToolRunner::stop(run);
                break;
            }
        }
    }
    QMainWindow::closeEvent(event);
}
