#include "csp/earlierfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>

EarlierFile::EarlierFile(const QString &path)
    : path(path)
{}

EarlierFile::~EarlierFile()
{
    finish(false);
}

bool EarlierFile::existsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isDir());
}

bool EarlierFile::setAside()
{
    if (!aside.isEmpty() || !existsAt(path))
        return true;
    const QFileInfo info(path);
    // The name is reserved by creating it; rename() then replaces it in one step.
    QTemporaryFile reserved(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                            QStringLiteral(".XXXXXX"));
    reserved.setAutoRemove(false);
    if (!reserved.open()) {
        error = reserved.errorString();
        return false;
    }
    const QString name = reserved.fileName();
    reserved.close();
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(name).constData()) !=
        0) {
        error = qt_error_string(errno);
        QFile::remove(name);
        return false;
    }
    aside = name;
    return true;
}

bool EarlierFile::finish(bool madeNewFile)
{
    if (aside.isEmpty())
        return true;
    const QByteArray from = QFile::encodeName(aside);
    const int failed = madeNewFile
                           ? std::remove(from.constData())
                           : std::rename(from.constData(), QFile::encodeName(path).constData());
    if (failed != 0) {
        error = qt_error_string(errno);
        return false;
    }
    aside.clear();
    return true;
}
