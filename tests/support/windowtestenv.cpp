#include "support/windowtestenv.h"

#include "app/mainwindow.h"
#include "csp/toolrunner.h"
#include "support/certlistings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

template <typename T> T *widget(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("the window has no %s named %s", T::staticMetaObject.className(), name);
    return found;
}

} // namespace

WindowTestEnv::WindowTestEnv()
{
    ToolRunner::setWaitFactorForTests(WindowTest::waitFactor);
    // The window lists both certificate stores at start-up and after installations; unless a
    // test says otherwise, both are empty.
    for (const char *store : {"uRoot", "uMy"}) {
        StandInRule empty;
        empty.tool = QStringLiteral("certmgr");
        empty.args = QStringList{"-list", "-store", QLatin1String(store)};
        empty.output = certmgrListing({});
        csp.addFallback(empty);
    }
}

WindowTestEnv::~WindowTestEnv()
{
    ToolRunner::setWaitFactorForTests(1.0);
}

std::unique_ptr<MainWindow> WindowTestEnv::startWindow()
{
    auto window = std::make_unique<MainWindow>(nullptr, csp.dir());
    csp.clearCalls();
    dialogs.shown.clear();
    return window;
}

void WindowTest::click(QWidget &window, const char *button)
{
    widget<QPushButton>(window, button)->click();
}

void WindowTest::setText(QWidget &window, const char *lineEdit, const QString &text)
{
    widget<QLineEdit>(window, lineEdit)->setText(text);
}

void WindowTest::setChecked(QWidget &window, const char *checkBox, bool on)
{
    auto *box = widget<QCheckBox>(window, checkBox);
    if (box->isChecked() != on)
        box->click();
}

QStringList WindowTest::comboItems(const QWidget &window, const char *comboBox)
{
    const auto *combo = widget<QComboBox>(window, comboBox);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void WindowTest::setComboItems(QWidget &window, const char *comboBox, const QStringList &items)
{
    auto *combo = widget<QComboBox>(window, comboBox);
    combo->clear();
    combo->addItems(items);
}
