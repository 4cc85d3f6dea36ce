#include "app/dialogs.h"

#include "csp/csperrors.h"
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

MessageSpec Dialogs::resultBox(const ToolResult &result, const QString &successSentence,
                               const QString &informative)
{
    const CspErrors::BoxText verdict = CspErrors::boxText(result, successSentence, informative);
    MessageSpec spec;
    spec.text = result.shownText();
    spec.informativeText = verdict.informativeText;
    spec.icon = verdict.warn ? QMessageBox::Warning : QMessageBox::NoIcon;
    return spec;
}

void Dialogs::informResult(const ToolResult &result, const QString &successSentence,
                           const QString &informative)
{
    if (!result.cancelled())
        current().message(resultBox(result, successSentence, informative));
}

void Dialogs::informBatch(QWidget *parent, const RunBatch::Summary &summary)
{
    MessageSpec spec;
    spec.parent = parent;
    spec.title = QStringLiteral("Velmora");
    spec.text = summary.text;
    spec.informativeText = summary.informativeText;
    spec.detailedText = summary.detailedText;
    spec.icon = summary.warn ? QMessageBox::Warning : QMessageBox::NoIcon;
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
