// Stand-in for the CSP utilities csptest, certmgr, cryptcp and cpconfig in tests.
//
// Installed under those names in a directory that also holds "rules.json", written by the test;
// as cpconfig it lies in PREFIX/sbin/ARCH/ and uses the files of PREFIX/bin/ARCH/.
// Each run appends to "calls.jsonl" in the same directory: first a record with its own name and
// its arguments exactly as received, then, if it read standard input, a record with what it
// read, and a last record with its exit code when it was not stopped before. Then it behaves
// as the first rule that matches its name and arguments says:
//   tool         name to match ("csptest", "certmgr", "cryptcp", "cpconfig")
//   args         optional; when present, the whole argument list must be equal
//   delayMs      wait before printing anything
//   output       printed first (UTF-8)
//   stdinBytes   then read this many bytes from standard input
//   after        then print this
//   finalDelayMs then wait this long
//   writeAfter   then write `writes` into the file named by the argument after this option
//   exit         exit code
// A run that no rule matches prints a line starting "cspstandin: no rule" and exits with 99.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

void appendRecord(const QString &logPath, const QJsonObject &record)
{
    // One write with O_APPEND, so that runs going on side by side do not mix their records.
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    const int fd =
        ::open(QFile::encodeName(logPath).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
    (void)written;
    ::close(fd);
}

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QByteArray readStdin(int count)
{
    QByteArray data;
    while (data.size() < count) {
        char buffer[256];
        const ssize_t n =
            ::read(0, buffer, size_t(qMin<int>(int(sizeof buffer), count - data.size())));
        if (n <= 0)
            break;
        data.append(buffer, int(n));
    }
    return data;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QFileInfo self(QString::fromLocal8Bit(argv[0]));
    const QString tool = self.fileName();
    QDir dir = QFileInfo(self.absoluteFilePath()).dir();
    if (tool == QLatin1String("cpconfig"))
        dir.setPath(dir.filePath(QStringLiteral("../../bin/") + dir.dirName()));
    const QString logPath = dir.filePath(QStringLiteral("calls.jsonl"));
    const qint64 pid = ::getpid();

    appendRecord(logPath, {{QStringLiteral("pid"), pid},
                           {QStringLiteral("tool"), tool},
                           {QStringLiteral("args"), QJsonArray::fromStringList(arguments)}});

    QFile rulesFile(dir.filePath(QStringLiteral("rules.json")));
    QJsonArray rules;
    if (rulesFile.open(QIODevice::ReadOnly))
        rules = QJsonDocument::fromJson(rulesFile.readAll()).array();

    for (const QJsonValue &value : rules) {
        const QJsonObject rule = value.toObject();
        if (rule.value(QStringLiteral("tool")).toString() != tool)
            continue;
        if (rule.contains(QStringLiteral("args"))) {
            QStringList expected;
            for (const QJsonValue &a : rule.value(QStringLiteral("args")).toArray())
                expected << a.toString();
            if (expected != arguments)
                continue;
        }
        QThread::msleep(ulong(rule.value(QStringLiteral("delayMs")).toInt()));
        print(rule.value(QStringLiteral("output")).toString());
        const int stdinBytes = rule.value(QStringLiteral("stdinBytes")).toInt();
        if (stdinBytes > 0) {
            const QByteArray input = readStdin(stdinBytes);
            appendRecord(logPath, {{QStringLiteral("pid"), pid},
                                   {QStringLiteral("stdin"), QString::fromUtf8(input)}});
        }
        print(rule.value(QStringLiteral("after")).toString());
        QThread::msleep(ulong(rule.value(QStringLiteral("finalDelayMs")).toInt()));
        const QString writeAfter = rule.value(QStringLiteral("writeAfter")).toString();
        const int option = writeAfter.isEmpty() ? -1 : arguments.indexOf(writeAfter);
        if (option >= 0 && option + 1 < arguments.size()) {
            QFile result(arguments.at(option + 1));
            if (result.open(QIODevice::WriteOnly))
                result.write(rule.value(QStringLiteral("writes")).toString().toUtf8());
        }
        const int code = rule.value(QStringLiteral("exit")).toInt();
        appendRecord(logPath, {{QStringLiteral("pid"), pid}, {QStringLiteral("exit"), code}});
        return code;
    }

    print(QStringLiteral("cspstandin: no rule for %1 %2\n")
              .arg(tool, arguments.join(QLatin1Char(' '))));
    return 99;
}
