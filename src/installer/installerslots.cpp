#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "installer/csplicense.h"
#include "installer/instalgui.h"

void MainWindow::on_pushButton_cryptopro_clicked()
{
    if (TestCryptopro()) {
        MessageSpec spec;
        spec.parent = this;
        spec.title = QStringLiteral("Установка КритпоПро CSP");
        spec.text = QStringLiteral("\"КриптоПро CSP\" уже установлен");
        spec.informativeText = QStringLiteral("Переустановить \"КритпоПро CSP\"?");
        spec.buttons = QMessageBox::Yes | QMessageBox::No;
        if (Dialogs::current().message(spec) != QMessageBox::Yes)
            return;
    }
    // Modal through its form, yet shown without waiting; it deletes itself when closed.
    auto *installer = new Instalgui();
    installer->show();
}

void MainWindow::on_pushButton_license_clicked()
{
    ToolOptions options;
    options.label = QStringLiteral("Проверка лицензии КриптоПро CSP…");
    const ToolResult result =
        ToolRunner::run(CspLicense::cpconfigPath(cspBinDir), CspLicense::viewArguments(), options);
    if (result.cancelled())
        return;
    MessageSpec box;
    box.parent = this;
    box.title = QStringLiteral("Лицензия КриптоПро CSP");
    box.text = result.shownText();
    box.informativeText = CspLicense::informativeLines(result).join(QLatin1Char('\n'));
    box.icon = CspLicense::needsWarning(result) ? QMessageBox::Warning : QMessageBox::NoIcon;
    Dialogs::current().message(box);
}
