#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Watches for the progress window while a run goes on, notes what it showed, and presses its
// Отмена (a click, or Escape as the window system delivers it) when told to.
class ProgressWatcher
{
public:
    enum class Press { Nothing, Cancel, Escape };

    explicit ProgressWatcher(Press press = Press::Nothing)
        : press(press)
    {
        clock.start();
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(50);
    }

    bool seen = false;
    qint64 seenAtMs = -1;
    QString title;
    QString label;
    QString buttons;
    QWidget *parent = nullptr;
    bool modal = false;

    QString firstLine() const { return label.section(QLatin1Char('\n'), 0, 0); }
    static QProgressDialog *find()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QLatin1String("operationProgress") && w->isVisible())
                return qobject_cast<QProgressDialog *>(w);
        }
        return nullptr;
    }

private:
    void look()
    {
        QProgressDialog *dialog = find();
        if (!dialog || seen)
            return;
        seen = true;
        seenAtMs = clock.elapsed();
        title = dialog->windowTitle();
        label = dialog->labelText();
        parent = dialog->parentWidget();
        modal = dialog->isModal();
        for (const QPushButton *b : dialog->findChildren<QPushButton *>())
            buttons += b->text();
        if (press == Press::Cancel)
            dialog->findChild<QPushButton *>()->click();
        else if (press == Press::Escape)
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
    }

    Press press;
    QElapsedTimer clock;
    QTimer timer;
};
