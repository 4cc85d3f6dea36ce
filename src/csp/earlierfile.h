#pragma once

#include <QString>

// The file a run is about to write over. Before the run it is moved aside under a hidden name
// in the same directory (one rename: its bytes, modes, owner and times stay as they were); after
// the run it is put back unless the run made a new file, and removed when it did. Either way
// nothing is left beside it.
class EarlierFile
{
public:
    explicit EarlierFile(const QString &path);
    // Puts the earlier file back when finish() was not called.
    ~EarlierFile();
    EarlierFile(const EarlierFile &) = delete;
    EarlierFile &operator=(const EarlierFile &) = delete;

    // True when there is a file (or a link) at `path`; a directory does not count.
    static bool existsAt(const QString &path);

    // Moves the file at the path aside, if there is one. False when it is there and cannot be
    // moved (the directory is not writable); errorText() then says why.
    bool setAside();
    // The run is over. With a new file, the earlier one is removed; without one, the earlier
    // file is back, over whatever the run left at the path. False when that failed (the earlier
    // file then stays under its hidden name, see asideName()).
    bool finish(bool madeNewFile);

    QString errorText() const { return error; }
    QString asideName() const { return aside; }

private:
    QString path;
    QString aside;
    QString error;
};
