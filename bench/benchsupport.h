#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What the benchmark and the soak run share: listings as the utilities print them, and the
// process's own figures.
namespace BenchSupport {

// The csptest container listing of `count` containers, and the reader listing of three readers.
QString containerListing(int count);
QString readerListing();
QStringList containerArguments();
QStringList readerArguments();

// The certmgr listing of `count` certificates, a tenth of them close to or past their end, every
// other one with a key container; and the certmgr arguments that list one store.
QString certificateListing(int count);
QStringList certificateArguments(const QString &store);

// The process's resident memory in KiB (VmRSS), or -1 when /proc cannot tell.
qint64 residentKb();

// The median of `runs` timings of `work`, in milliseconds.
double medianMs(int runs, const std::function<void()> &work);

} // namespace BenchSupport
