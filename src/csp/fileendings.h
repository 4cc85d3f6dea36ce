#pragma once

#include <QString>
#include <QStringList>

// The endings by which the program tells the files it takes apart (".cer", ".sig", ...). They
// are compared without regard to case: Qt's file dialog lists CERT.CER under "*.cer".
namespace FileEndings {

// True when `path` ends in one of `endings`.
bool matches(const QString &path, const QStringList &endings);

// The box for a file whose ending is not taken: the path and the endings that are.
QString refusal(const QString &path, const QStringList &endings);

} // namespace FileEndings
