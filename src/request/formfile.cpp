#include "request/formfile.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void writeString(QDataStream &out, const QString &text)
{
    // Always a length, never the null marker: an empty field is written as length 0.
    out << quint32(text.size() * 2);
    for (const QChar c : text)
        out << quint16(c.unicode());
}

// A write stopped part way (a full disk, a file size limit) returns what it wrote without an
// error; the next one fails and says why.
bool writeAll(QIODevice &device, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = device.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

QString formFileDir(const QString &home)
{
    return home + QStringLiteral("/.velmora-csp");
}

bool makePrivateDirectory(const QString &path, QString *error)
{
    QString reason;
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        reason = qt_error_string(errno);
    } else {
        const QFileInfo info(path);
        QFile directory(path);
        // Someone else's directory stays theirs, also for root, who could narrow it: its owner
        // could read, replace or remove the form in it.
        if (!info.isDir())
            reason = qt_error_string(ENOTDIR);
        else if (info.ownerId() != ::geteuid())
            reason = foreignDirectoryMessage();
        else if (!directory.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner))
            reason = directory.errorString();
    }
    if (error)
        *error = reason;
    return reason.isEmpty();
}

QString foreignDirectoryMessage()
{
    return QStringLiteral("Папка принадлежит другому пользователю или доступна всем на запись.");
}

QString formFilePath(const QString &home)
{
    return formFileDir(home) + QStringLiteral("/polname.dat");
}

QByteArray formDataBytes(const QMap<QString, QString> &data)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out << qint32(data.size());
    // Written by hand from the greatest key down: QDataStream's own QMap operator changes its
    // order with the deprecation settings of the Qt build.
    for (auto it = data.constEnd(); it != data.constBegin();) {
        --it;
        writeString(out, it.key());
        writeString(out, it.value());
    }
    return bytes;
}

bool readFormData(const QByteArray &bytes, QMap<QString, QString> &data)
{
    data.clear();
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::BigEndian);
    // The count is signed in the file; read as unsigned, a negative one runs past the end and
    // fails like any other count the file cannot back.
    quint32 count = 0;
    in >> count;
    for (quint32 n = 0; n < count && in.status() == QDataStream::Ok; ++n) {
        // QDataStream reads long strings in blocks, so a huge length in a short file fails
        // without allocating it; an odd length is reported as corrupt.
        QString key;
        QString value;
        in >> key >> value;
        if (in.status() == QDataStream::Ok)
            data.insert(key.isNull() ? QString(QLatin1String("")) : key,
                        value.isNull() ? QString(QLatin1String("")) : value);
    }
    if (in.status() != QDataStream::Ok) {
        data.clear();
        return false;
    }
    return true;
}

bool saveFormFile(const QString &path, const QMap<QString, QString> &data, QString *error)
{
    const QByteArray bytes = formDataBytes(data);
    QSaveFile file(path);
    // QSaveFile::commit() still renames after a short write or a failed flush (a full disk, a
    // file size limit), so both are checked here. Without commit() the temporary file is
    // removed and the old file stays. Unbuffered, so that the write that fails is the one that
    // tells why. Passport numbers, SNILS and INN are for the user's eyes only, also when an
    // older, wider file is replaced.
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                       writeAll(file, bytes) && file.flush() &&
                       file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                       file.commit();
    if (!saved && error)
        *error = file.errorString();
    return saved;
}

QMap<QString, QString> loadFormFile(const QString &path)
{
    QMap<QString, QString> data;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        readFormData(file.readAll(), data);
    return data;
}
