#pragma once

#include "csp/runbatch.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QString>

class QWidget;
struct ToolResult;

// What a message box or a Yes/No question shows.
struct MessageSpec
{
    QWidget *parent = nullptr;
    QString title;
    QString text;
    QString informativeText;
    // Behind the box's "Show Details..." button; none when empty.
    QString detailedText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    // The button that Escape and the window's close button answer; NoButton leaves it to Qt.
    QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
};

struct FileDialogSpec
{
    QWidget *parent = nullptr;
    QString caption;
    QString directory;
    QString filter;
    QFileDialog::Options options;
};

// Every message box, question, open-file dialog and directory dialog of the program goes
// through here, so that tests can answer them without a window.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box; returns the button clicked (NoButton when closed otherwise).
    virtual QMessageBox::StandardButton message(const MessageSpec &spec) = 0;
    // Returns the chosen file, or an empty text when cancelled.
    virtual QString openFileName(const FileDialogSpec &spec) = 0;
    // Returns the chosen files in the dialog's order, or none when cancelled.
    virtual QStringList openFileNames(const FileDialogSpec &spec) = 0;
    // Returns the chosen directory, or an empty text when cancelled.
    virtual QString existingDirectory(const FileDialogSpec &spec) = 0;

    // The implementation in use: the real dialogs unless another one was installed.
    static Dialogs &current();
    // Installs another implementation (not owned); nullptr restores the real dialogs.
    static void install(Dialogs *dialogs);

    // Shorthand for the most common box: no parent, no title, the text and OK.
    static void inform(const QString &text);
    // The box for a run: its output, or its error text, as the text; as the informative text the
    // verdict ("Файл подписан." on success, `successSentence`, "Готово." without one; otherwise
    // "Не выполнено." and what the CSP's error code means), then `informative` when not empty.
    // The warning icon marks exactly a run that did not succeed.
    static MessageSpec resultBox(const ToolResult &result, const QString &successSentence = {},
                                 const QString &informative = {});
    // Shows resultBox(); nothing for a cancelled run.
    static void informResult(const ToolResult &result, const QString &successSentence = {},
                             const QString &informative = {});
    // The one box after several runs: title "Velmora", parent `parent`, the summary's texts, and
    // the warning icon when not every run succeeded.
    static void informBatch(QWidget *parent, const RunBatch::Summary &summary);
    // Asks before a file is written over: title "Velmora", Да and Нет, Нет by default and for
    // Escape. True for Да.
    static bool askToReplace(QWidget *parent, const QString &text);
};

// The real Qt dialogs.
class QtDialogs : public Dialogs
{
public:
    QMessageBox::StandardButton message(const MessageSpec &spec) override;
    QString openFileName(const FileDialogSpec &spec) override;
    QStringList openFileNames(const FileDialogSpec &spec) override;
    QString existingDirectory(const FileDialogSpec &spec) override;
};
