#pragma once

#include "support/scripteddialogs.h"
#include "support/standin.h"

#include <QString>
#include <QStringList>

#include <memory>

class MainWindow;
class QWidget;

// What every window test starts from, made and torn down in the right order: its own HOME and
// working directory, scripted dialogs, a stand-in CSP directory, and the tool runner's waits
// shortened (the stand-in's delays shrink with them).
struct WindowTestEnv
{
    WindowTestEnv();
    ~WindowTestEnv();
    WindowTestEnv(const WindowTestEnv &) = delete;
    WindowTestEnv &operator=(const WindowTestEnv &) = delete;

    // A main window on the stand-in; what its start-up ran and showed is then forgotten, so a
    // test sees only what it does itself.
    std::unique_ptr<MainWindow> startWindow();

    TestHome home;
    ScriptedDialogs dialogs;
    CspStandIn csp;
};

// Reading and driving the window's widgets by object name, as a user would.
namespace WindowTest {

// The waits of the tool runner during window tests: 30 s become 0.3 s.
constexpr double waitFactor = 0.01;

void click(QWidget &window, const char *button);
void setText(QWidget &window, const char *lineEdit, const QString &text);
// Clicks the check box when it is not already in the wanted state, so its slots run.
void setChecked(QWidget &window, const char *checkBox, bool on);
QStringList comboItems(const QWidget &window, const char *comboBox);
void setComboItems(QWidget &window, const char *comboBox, const QStringList &items);

} // namespace WindowTest
