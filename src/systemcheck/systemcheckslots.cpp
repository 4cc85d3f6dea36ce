#include "app/mainwindow.h"
#include "systemcheck/systemcheck.h"

void MainWindow::on_pushButton_syscheck_clicked()
{
    // It deletes itself when closed; a check the user stopped shows nothing.
    auto *check = new SystemCheck(this);
    if (!check->runChecks(cspBinDir)) {
        delete check;
        return;
    }
    check->open();
}
