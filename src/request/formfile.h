#pragma once

#include <QMap>
#include <QString>

// The saved form: "polname.dat" in "/.velmora-csp" under the home directory. The file is a count
// (signed 32-bit, big-endian) followed by that many key/value pairs from the greatest key down;
// each string is a 32-bit big-endian byte length and its UTF-16 big-endian text (0xFFFFFFFF, a
// null string, is read as empty). The document builder reads the same file and a file saved by
// an earlier run must still load, so the layout is fixed.

// home + "/.velmora-csp"
QString formFileDir(const QString &home);
// Makes the directory (if missing) and narrows it to its owner, mode 0700: the form inside it
// holds passport numbers, SNILS and INN. False when it is not there or belongs to another user;
// `error`, when given, then says why.
bool makePrivateDirectory(const QString &path, QString *error = nullptr);
// Why nothing is saved in a directory of another user.
QString foreignDirectoryMessage();
// home + "/.velmora-csp/polname.dat"
QString formFilePath(const QString &home);

// The file's bytes for `data`.
QByteArray formDataBytes(const QMap<QString, QString> &data);
// Reads a whole map; on any failure (short or corrupt bytes) returns false and leaves `data`
// empty. Bytes after the last entry are ignored.
bool readFormData(const QByteArray &bytes, QMap<QString, QString> &data);

// Replaces the file at `path` atomically: the new content goes to a temporary file that is
// renamed over the old one only once it was written completely, so a failed save leaves the
// previous file as it was. The file is readable by its owner only (mode 0600). Returns false
// when nothing was replaced; `error`, when given, then holds the file's error.
bool saveFormFile(const QString &path, const QMap<QString, QString> &data,
                  QString *error = nullptr);
// The map saved at `path`, or an empty map when the file is missing or damaged.
QMap<QString, QString> loadFormFile(const QString &path);
