#include "support/strictwarnings.h"

#include <QString>
#include <QtTest/private/qtestlog_p.h>
#include <QtTest/qtestcase.h>

namespace {

QtMessageHandler testlibHandler = nullptr;

// The offscreen platform cannot size a window to its contents and says so for every dialog.
bool isPlatformNoise(const QString &message)
{
    return message == QLatin1String("This plugin does not support propagateSizeHints()");
}

void strictHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const int expectedBefore = QTestLog::unhandledIgnoreMessages();
    testlibHandler(type, context, message);
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return;
    // QtTest's own handler has taken a message that the test announced with ignoreMessage.
    if (QTestLog::unhandledIgnoreMessages() < expectedBefore || isPlatformNoise(message))
        return;
    const QByteArray failure = "Qt warned: " + message.toUtf8();
    QTest::qFail(failure.constData(), context.file, context.line);
}

} // namespace

int StrictWarnings::exec(QObject *testObject, int argc, char **argv)
{
    // QtTest puts its own handler in place when it starts logging and the default one back when
    // it stops; ours goes in between and hands every message on to QtTest's first.
    QTest::qInit(testObject, argc, argv);
    testlibHandler = qInstallMessageHandler(strictHandler);
    const int failures = QTest::qRun();
    QTest::qCleanup();
    return failures;
}
