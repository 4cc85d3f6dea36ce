#pragma once

#include "systemcheck/checks.h"

#include <QDialog>
#include <QList>

#include <memory>

QT_BEGIN_NAMESPACE
namespace Ui {
class SystemCheck;
}
QT_END_NAMESPACE

// "Проверка системы": runs the utilities once, then shows what each check found and what to do
// where it found a fault.
class SystemCheck : public QDialog
{
    Q_OBJECT

public:
    explicit SystemCheck(QWidget *parent = nullptr);
    ~SystemCheck() override;

    // Runs every check against the CSP in `cspBinDir` (with its trailing slash) and fills the
    // table. False when the user stopped the runs with Отмена; the table then stays empty.
    bool runChecks(const QString &cspBinDir);

private slots:
    void on_pushButton_copyreport_clicked();
    void on_pushButton_close_clicked();

private:
    void showRows(const QList<SystemChecks::Row> &rows);

    std::unique_ptr<Ui::SystemCheck> ui;
    QList<SystemChecks::Row> rows;
};
