#include "app/mainwindow.h"

#include "app/dialogs.h"
#include "app/progresswindow.h"
#include "certificates/certexpiry.h"
#include "certificates/certtable.h"
#include "csp/toolrunner.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QShowEvent>

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
    CertTable::addKeysAndToolTips(ui->tableWidgetCert, [this](const QModelIndex &index) {
        on_tableWidgetCert_doubleClicked(index);
    });
    data_Read();

    if (TestCryptopro()) {
        ui->label_cryptopro->setText(QStringLiteral("ДА"));
        ui->label_cryptopro->setStyleSheet(QStringLiteral("color: green"));
        ui->pushButton_license->setEnabled(true);
        listEverything();
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

void MainWindow::listEverything()
{
    QList<ToolJob> jobs = certificateListings();
    jobs << containerListing();
    // The progress window shows the first job's label while all of them run.
    jobs.first().options.label = QStringLiteral("Чтение списков сертификатов и контейнеров…");
    QList<ToolResult> results = ToolRunner::runAll(jobs);
    const ToolResult containers = results.takeLast();
    expiryWarning = CertExpiry::warningText(fillCertificateTable(results), QDate::currentDate());
    showContainers(containers);
    ui->comboBox_fd->addItems(searchTokens());
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
    // A close that comes while a run is being waited for (the desktop session ending) would end
    // the event loop the wait runs on, and with it the run: a container copy stopped half-way
    // can leave a broken container. The window stays until the run is over.
    if (ToolRunner::isWaiting() || !offerToSaveForm()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownBefore)
        return;
    shownBefore = true;
    // Once the window is on the screen, so that the box stands over it.
    QMetaObject::invokeMethod(this, &MainWindow::warnOfExpiringCertificates, Qt::QueuedConnection);
}
