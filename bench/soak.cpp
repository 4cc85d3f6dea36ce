// A thousand rounds (or as many as the first argument says) of the window's everyday work
// against the stand-in utilities, built with AddressSanitizer and run with leak checking
// (tools/dev.sh soak). Each round refreshes the container and key-store lists and the certificate
// table, then saves the request form and loads it back. Resident memory after the first 100
// rounds and after the last 100 is compared. The run fails on growth beyond noise, on a Qt
// warning, on a message box, or on a list, table or form that is not as expected;
// LeakSanitizer reports any leak when the program ends.
#include "app/mainwindow.h"
#include "benchsupport.h"
#include "support/windowtestenv.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <cstdio>

using namespace BenchSupport;

namespace {

const int settled = 100;
const int containers = 20;
const int rootCertificates = 3;
const int personalCertificates = 30;

int warnings = 0;
QtMessageHandler defaultHandler = nullptr;

void countWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // The offscreen platform's one remark about window sizes says nothing about the program.
    if ((type == QtWarningMsg || type == QtCriticalMsg) &&
        message != QLatin1String("This plugin does not support propagateSizeHints()"))
        ++warnings;
    defaultHandler(type, context, message);
}

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

bool round(MainWindow &window, int n)
{
    window.findChild<QPushButton *>(QStringLiteral("pushButton_keys"))->click();
    if (window.findChild<QComboBox *>(QStringLiteral("comboBox_seakeys"))->count() !=
        containers + 1)
        return false;

    window.findChild<QPushButton *>(QStringLiteral("pushButton_sysser"))->click();
    if (window.findChild<QTableWidget *>(QStringLiteral("tableWidgetCert"))->rowCount() !=
        rootCertificates + personalCertificates)
        return false;

    auto *surname = window.findChild<QLineEdit *>(QStringLiteral("lineEdit_SN"));
    auto *passport = window.findChild<QLineEdit *>(QStringLiteral("lineEdit_pasport"));
    const QString saved = QStringLiteral("Иванов-%1").arg(n);
    surname->setText(saved);
    passport->setText(QString::number(100000 + n));
    window.date_Set();
    surname->clear();
    passport->clear();
    window.data_Read();
    if (surname->text() != saved || passport->text() != QString::number(100000 + n))
        return false;

    // Runs that were handed to the window are deleted once they have finished.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // More rounds can be asked for, to tell a slow growth from noise.
    const int rounds = qMax(2 * settled, argc > 1 ? QByteArray(argv[1]).toInt() : 1000);
    defaultHandler = qInstallMessageHandler(countWarnings);
    int failures = 0;
    qint64 afterFirst = 0, afterLast = 0;
    {
        WindowTestEnv env;
        env.csp.on(QStringLiteral("csptest"), containerArguments(), containerListing(containers));
        env.csp.on(QStringLiteral("csptest"), readerArguments(), readerListing());
        env.csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uRoot")),
                   certificateListing(rootCertificates));
        env.csp.on(QStringLiteral("certmgr"), certificateArguments(QStringLiteral("uMy")),
                   certificateListing(personalCertificates));
        auto window = env.startWindow();
        window->show();
        QApplication::processEvents();

        for (int n = 1; n <= rounds; ++n) {
            if (!round(*window, n)) {
                say(QStringLiteral("round %1: the lists, the table or the form are not as expected")
                        .arg(n));
                ++failures;
            }
            if (n == settled)
                afterFirst = residentKb();
        }
        afterLast = residentKb();
        if (!env.dialogs.shown.isEmpty()) {
            say(QStringLiteral("%1 message boxes: %2")
                    .arg(env.dialogs.shown.size())
                    .arg(env.dialogs.messageTexts().join(QStringLiteral(" | "))));
            ++failures;
        }
        say(QStringLiteral("%1 utility runs").arg(env.csp.calls().size()));
    }

    // Sanitizer builds keep freed memory aside for a while (the quarantine) and their allocator
    // grows in steps, so a few MiB either way is noise.
    const qint64 growth = afterLast - afterFirst;
    const qint64 noise = qMax<qint64>(4096, afterFirst / 20);
    say(QStringLiteral("resident memory after round %1: %2 KiB; after round %3: %4 KiB; "
                       "growth %5 KiB (noise up to %6 KiB)")
            .arg(settled)
            .arg(afterFirst)
            .arg(rounds)
            .arg(afterLast)
            .arg(growth)
            .arg(noise));
    if (growth > noise) {
        say(QStringLiteral("memory grows"));
        ++failures;
    }
    if (warnings > 0) {
        say(QStringLiteral("Qt warned %1 times").arg(warnings));
        ++failures;
    }
    say(failures == 0 ? QStringLiteral("soak run passed") : QStringLiteral("soak run FAILED"));
    return failures == 0 ? 0 : 1;
}
