#pragma once

#include <QFile>
#include <QString>

// The log of the last request run, "genreg.log" in /tmp, rewritten by every run.
//
// /tmp is writable by every local user, so the log is opened without following a symbolic link
// and only when it is a regular file of our own with no other name: a link or a file planted by
// someone else is left alone, and the request goes on without a log.
class RequestLog
{
public:
    // Opens (creating or truncating) the log; isOpen() tells whether that was safe and worked.
    RequestLog();
    ~RequestLog();
    RequestLog(const RequestLog &) = delete;
    RequestLog &operator=(const RequestLog &) = delete;

    bool isOpen() const;
    // Appends the text as UTF-8; does nothing when the log is not open.
    void write(const QString &text);

    QString path() const;

    // Tests only: the directory that holds the log instead of /tmp; an empty text restores it.
    static void setDirectoryForTests(const QString &directory);

private:
    QFile file;
};
