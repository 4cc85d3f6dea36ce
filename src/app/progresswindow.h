#pragma once

#include "csp/toolrunner.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class QProgressDialog;
class QWidget;

// Shows the run the tool runner is waiting for: from its start, the windows that were open take
// no clicks or keys (they are dropped, not held back for later); once it has lasted
// ToolRunner::progressDelayMs, a modal progress window names it, counts the seconds and offers
// Отмена, which stops it.
class ProgressWindow : public QObject
{
public:
    // `mainWindow` is the parent while no other window of the program is active, once it has
    // been shown; before that the progress window has no parent.
    explicit ProgressWindow(QWidget *mainWindow);
    ~ProgressWindow() override;

    // Makes this the tool runner's progress hook.
    void install();
    void onRun(ToolRunner::RunState state, const QString &label, qint64 elapsedMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const QString &label, qint64 elapsedMs);
    QWidget *workingWindow() const;

    QPointer<QWidget> mainWindow;
    std::unique_ptr<QProgressDialog> dialog;
    QList<QPointer<QWidget>> blocked;
    bool filtering = false;
};
