#pragma once

// Included ahead of every suite by tests/CMakeLists.txt. QtTest's main() macros are replaced by
// ones that run the suite through StrictWarnings::exec, so every suite, including one added
// later, fails a test during which Qt prints a warning.

#include "support/strictwarnings.h"

#include <QCoreApplication>
#include <QtTest/qtest.h>

#if defined(QT_WIDGETS_LIB)
#include <QApplication>
using VelmoraTestApplication = QApplication;
#elif defined(QT_GUI_LIB)
#include <QGuiApplication>
using VelmoraTestApplication = QGuiApplication;
#else
using VelmoraTestApplication = QCoreApplication;
#endif

namespace StrictWarnings {

// Stands in for the application object of a suite that runs without one.
struct NoApplication
{
    NoApplication(int &, char **) {}
    void setAttribute(Qt::ApplicationAttribute, bool) {}
};

// What QtTest's macros do, with the strict run at the end.
template <typename TestObject, typename Application> int runSuite(int argc, char **argv)
{
    QTest::Internal::callInitMain<TestObject>();
    Application app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestObject suite;
    return exec(&suite, argc, argv);
}

} // namespace StrictWarnings

#undef QTEST_MAIN
#undef QTEST_GUILESS_MAIN
#undef QTEST_APPLESS_MAIN

#define QTEST_MAIN(TestObject)                                                                     \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return StrictWarnings::runSuite<TestObject, VelmoraTestApplication>(argc, argv);           \
    }
#define QTEST_GUILESS_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return StrictWarnings::runSuite<TestObject, QCoreApplication>(argc, argv);                 \
    }
#define QTEST_APPLESS_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return StrictWarnings::runSuite<TestObject, StrictWarnings::NoApplication>(argc, argv);    \
    }
