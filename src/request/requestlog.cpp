#include "request/requestlog.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString &directoryOverride()
{
    static QString directory;
    return directory;
}

// Returns an open descriptor for the log, or -1 when it could not be opened safely.
int openSafely(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // No O_TRUNC yet: whatever sits at the name is checked before anything is changed in it.
    // O_NONBLOCK keeps a planted FIFO from blocking the window.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat st;
    // A second name (a hard link) would let someone else's name lead to a file of ours.
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                      st.st_nlink == 1;
    // The log holds the request's output, in a directory every user can read: ours alone.
    if (!ours || ::fchmod(fd, 0600) != 0 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

RequestLog::RequestLog()
{
    const int fd = openSafely(path());
    if (fd >= 0 && !file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
}

RequestLog::~RequestLog() = default;

bool RequestLog::isOpen() const
{
    return file.isOpen();
}

void RequestLog::write(const QString &text)
{
    if (!file.isOpen())
        return;
    file.write(text.toUtf8());
    file.flush();
}

QString RequestLog::path() const
{
    const QString directory =
        directoryOverride().isEmpty() ? QStringLiteral("/tmp") : directoryOverride();
    return directory + QStringLiteral("/genreg.log");
}

void RequestLog::setDirectoryForTests(const QString &directory)
{
    directoryOverride() = directory;
}
