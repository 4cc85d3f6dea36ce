#include "systemcheck/systemcheck.h"

#include "certificates/certcommands.h"
#include "containers/keycontainers.h"
#include "csp/toolrunner.h"
#include "installer/csplicense.h"
#include "ui_systemcheck.h"

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileInfo>
#include <QHeaderView>
#include <QStandardPaths>
#include <QStyle>

using namespace SystemChecks;

namespace {

ToolJob certificateListing(const QString &cspBinDir, const QString &store)
{
    const CertCommand command = CertCommands::listStore(cspBinDir, store);
    return {command.program, command.arguments, {}};
}

QColor background(State state)
{
    switch (state) {
    case State::Fine:
        return QColor(200, 240, 200);
    case State::Warning:
        return QColor(255, 236, 170);
    case State::Failure:
        break;
    }
    return QColor(255, 195, 195);
}

QIcon icon(State state)
{
    const QStyle::StandardPixmap pixmap = state == State::Fine      ? QStyle::SP_DialogApplyButton
                                          : state == State::Warning ? QStyle::SP_MessageBoxWarning
                                                                    : QStyle::SP_MessageBoxCritical;
    return QApplication::style()->standardIcon(pixmap);
}

} // namespace

SystemCheck::SystemCheck(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::SystemCheck>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->tableWidget_checks->horizontalHeader()->setSectionResizeMode(0,
                                                                     QHeaderView::ResizeToContents);
    ui->tableWidget_checks->horizontalHeader()->resizeSection(1, 420);
    // Wrapped texts need their rows' heights again whenever a column gets wider or narrower, as
    // the last one does when the window is first shown.
    connect(ui->tableWidget_checks->horizontalHeader(), &QHeaderView::sectionResized,
            ui->tableWidget_checks, &QTableWidget::resizeRowsToContents);
}

SystemCheck::~SystemCheck() = default;

bool SystemCheck::runChecks(const QString &cspBinDir)
{
    const QString csptest = cspBinDir + QStringLiteral("csptest");
    const bool installed = QFileInfo::exists(csptest);
    QList<Row> found;
    if (installed) {
        ToolJob banner{csptest, {QStringLiteral("-keyset"), QStringLiteral("-verifycontext")}, {}};
        banner.options.label = QStringLiteral("Проверка системы…");
        const QList<ToolResult> runs = ToolRunner::runAll(
            {banner,
             {CspLicense::cpconfigPath(cspBinDir), CspLicense::viewArguments(), {}},
             {csptest, KeyContainers::containerListingArguments(), {}},
             certificateListing(cspBinDir, QStringLiteral("uRoot")),
             certificateListing(cspBinDir, QStringLiteral("uMy"))});
        for (const ToolResult &run : runs)
            if (run.cancelled())
                return false;
        // After the container listing, as in the window: both poll the same tokens.
        ToolOptions readerOptions;
        readerOptions.label = QStringLiteral("Проверка системы: поиск считывателей…");
        // As in the window, a listing stuck on a token is not interrupted.
        readerOptions.leaveRunning = true;
        readerOptions.keepAliveOwner =
            parentWidget() ? static_cast<QObject *>(parentWidget()) : static_cast<QObject *>(qApp);
        const ToolResult readers =
            ToolRunner::run(csptest, KeyContainers::readerListingArguments(), readerOptions);
        if (readers.cancelled())
            return false;
        QStringList missing;
        for (const char *utility : {"certmgr", "cryptcp"})
            if (!QFileInfo::exists(cspBinDir + QLatin1String(utility)))
                missing << cspBinDir + QLatin1String(utility);
        found << cspRow(true, runs.at(0), missing) << licenseRow(runs.at(1))
              << smartCardServiceRow(QFileInfo::exists(pcscSocketPath())) << readersRow(readers)
              << containersRow(runs.at(2)) << rootRow(runs.at(3))
              << personalRow(runs.at(4), QDate::currentDate());
    } else {
        const QStringList names = checkNames();
        found << cspRow(false, {}, {}) << withoutCsp(names.at(1))
              << smartCardServiceRow(QFileInfo::exists(pcscSocketPath()));
        for (int i = 3; i < 7; ++i)
            found << withoutCsp(names.at(i));
    }
    found << xtermRow(!QStandardPaths::findExecutable(QStringLiteral("xterm")).isEmpty());
    showRows(found);
    return true;
}

void SystemCheck::showRows(const QList<Row> &shown)
{
    rows = shown;
    QTableWidget *table = ui->tableWidget_checks;
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        const QStringList cells{row.check, row.result, row.step};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            item->setBackground(background(row.state));
            item->setForeground(Qt::black);
            table->setItem(r, c, item);
        }
        table->item(r, 1)->setIcon(icon(row.state));
    }
    table->resizeRowsToContents();
}

void SystemCheck::on_pushButton_copyreport_clicked()
{
    QGuiApplication::clipboard()->setText(report(rows));
}

void SystemCheck::on_pushButton_close_clicked()
{
    close();
}
