#include "app/dialogs.h"

#include "csp/toolrunner.h"

namespace {
Dialogs *installed = nullptr;
}

Dialogs &Dialogs::current()
{
    static QtDialogs real;
    return installed ? *installed : real;
}

void Dialogs::install(Dialogs *dialogs)
{
    installed = dialogs;
}

void Dialogs::inform(const QString &text)
{
    MessageSpec spec;
    spec.text = text;
    current().message(spec);
}

void Dialogs::informResult(const ToolResult &result)
{
    informResult(result, result.shownText());
}

void Dialogs::informResult(const ToolResult &result, const QString &text, bool failed)
{
    if (result.cancelled())
        return;
    MessageSpec spec;
    spec.text = text;
    if (failed || !result.succeeded())
        spec.icon = QMessageBox::Warning;
    current().message(spec);
}

bool Dialogs::askToReplace(QWidget *parent, const QString &text)
{
    MessageSpec spec;
    spec.parent = parent;
    spec.title = QStringLiteral("Velmora");
    spec.text = text;
    spec.buttons = QMessageBox::Yes | QMessageBox::No;
    spec.defaultButton = QMessageBox::No;
    spec.escapeButton = QMessageBox::No;
    return current().message(spec) == QMessageBox::Yes;
}

QMessageBox::StandardButton QtDialogs::message(const MessageSpec &spec)
{
    QMessageBox box(spec.parent);
    if (!spec.title.isNull())
        box.setWindowTitle(spec.title);
    box.setIcon(spec.icon);
    box.setText(spec.text);
    if (!spec.informativeText.isEmpty())
        box.setInformativeText(spec.informativeText);
    if (!spec.detailedText.isEmpty())
        box.setDetailedText(spec.detailedText);
    box.setStandardButtons(spec.buttons);
    if (spec.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(spec.defaultButton);
    if (spec.escapeButton != QMessageBox::NoButton)
        box.setEscapeButton(spec.escapeButton);
    box.exec();
    return box.standardButton(box.clickedButton());
}

QString QtDialogs::openFileName(const FileDialogSpec &spec)
{
    return QFileDialog::getOpenFileName(spec.parent, spec.caption, spec.directory, spec.filter,
                                        nullptr, spec.options);
}

QStringList QtDialogs::openFileNames(const FileDialogSpec &spec)
{
    return QFileDialog::getOpenFileNames(spec.parent, spec.caption, spec.directory, spec.filter,
                                         nullptr, spec.options);
}

QString QtDialogs::existingDirectory(const FileDialogSpec &spec)
{
    return QFileDialog::getExistingDirectory(spec.parent, spec.caption, spec.directory,
                                             spec.options);
}
