#pragma once

// The few places where Qt 5.15 and Qt 6 cannot be written the same way. Everything else in the
// program uses what both have; a difference goes here, not into an #if elsewhere.

#include <QLibraryInfo>
#include <QProcess>
#include <QString>
#include <QtGlobal>

namespace QtCompat {

// A QProcess whose child calls `setup` after the fork and before the program starts, where only
// async-signal-safe calls are allowed.
class ProcessWithChildSetup : public QProcess
{
public:
    explicit ProcessWithChildSetup(void (*setup)())
#if QT_VERSION_MAJOR >= 6
    {
        setChildProcessModifier(setup);
    }
#else
        : setup(setup)
    {}

protected:
    void setupChildProcess() override
    {
        setup();
    }

private:
    void (*setup)();
#endif
};

// Where Qt's own translations (qtbase_ru.qm) are installed.
inline QString translationsPath()
{
#if QT_VERSION_MAJOR >= 6
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// The font weight to give a text format so that a document written by Qt's ODF writer looks as
// Qt 5's does for `weight` on Qt 5's scale. Qt 5's writer writes ten times the weight ("bold" for
// 75): a document's emphasis 100 reads "1000", which word processors show bold, and its plain 0
// reads "0", shown regular. Qt 6's writes the weight as it stands ("bold" for 700), so 100 would
// come out as "100", a thin face, and Qt 6 takes no weight below 1: plain text is given the
// normal 400.
constexpr int odfFontWeight(int weight)
{
#if QT_VERSION_MAJOR >= 6
    return weight == 0 ? 400 : weight == 75 ? 700 : weight * 10;
#else
    return weight;
#endif
}

} // namespace QtCompat
