#include "app/progresswindow.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>
#include <QPushButton>

namespace {

bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // A close from the window manager; the program's own close() is not spontaneous.
        return event->spontaneous();
    default:
        return false;
    }
}

// The widget an event is for: the object itself, or the widget that owns it (a shortcut).
QWidget *owningWidget(QObject *object)
{
    while (object && !object->isWidgetType())
        object = object->parent();
    return static_cast<QWidget *>(object);
}

QString labelText(const QString &label, qint64 elapsedMs)
{
    return label + QStringLiteral("\nПрошло: %1 с").arg(elapsedMs / 1000);
}

} // namespace

ProgressWindow::ProgressWindow(QWidget *mainWindow)
    : mainWindow(mainWindow)
{}

namespace {
const ProgressWindow *installed = nullptr;
}

ProgressWindow::~ProgressWindow()
{
    if (filtering)
        qApp->removeEventFilter(this);
    if (installed == this) {
        ToolRunner::setProgressHook({});
        installed = nullptr;
    }
}

void ProgressWindow::install()
{
    installed = this;
    ToolRunner::setProgressHook([this](ToolRunner::RunState state, const QString &label,
                                       qint64 elapsedMs) { onRun(state, label, elapsedMs); });
}

void ProgressWindow::onRun(ToolRunner::RunState state, const QString &label, qint64 elapsedMs)
{
    switch (state) {
    case ToolRunner::RunState::Started:
        // Windows that open later (the progress window, a question about the run) take input.
        blocked.clear();
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible())
                blocked << window;
        }
        if (!filtering)
            qApp->installEventFilter(this);
        filtering = true;
        break;
    case ToolRunner::RunState::Going:
        show(label, elapsedMs);
        break;
    case ToolRunner::RunState::Ended:
        // What the user clicked or typed in the last moments of the run is dropped too.
        QCoreApplication::processEvents();
        dialog.reset();
        qApp->removeEventFilter(this);
        filtering = false;
        blocked.clear();
        break;
    }
}

void ProgressWindow::show(const QString &label, qint64 elapsedMs)
{
    if (!dialog) {
        dialog = std::make_unique<QProgressDialog>(workingWindow());
        dialog->setObjectName(QStringLiteral("operationProgress"));
        dialog->setWindowTitle(QStringLiteral("Velmora"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setCancelButtonText(QStringLiteral("Отмена"));
        dialog->setRange(0, 0);
        dialog->setAutoClose(false);
        dialog->setAutoReset(false);
        dialog->setMinimumWidth(360);
        // Отмена, its Escape shortcut and the title bar's close button; Escape reaches the
        // dialog itself (and rejects it) when the window is not active.
        connect(dialog.get(), &QProgressDialog::canceled, [] { ToolRunner::cancel(); });
        connect(dialog.get(), &QDialog::rejected, [] { ToolRunner::cancel(); });
    }
    dialog->setLabelText(labelText(label, elapsedMs));
    if (!dialog->isVisible())
        dialog->show();
}

QWidget *ProgressWindow::workingWindow() const
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return mainWindow && mainWindow->isVisible() ? mainWindow.data() : nullptr;
}

bool ProgressWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event))
        return false;
    const QWidget *widget = owningWidget(watched);
    if (!widget || !blocked.contains(widget->window()))
        return false;
    event->ignore();
    return true;
}
