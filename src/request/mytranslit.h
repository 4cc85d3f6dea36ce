#pragma once

#include <QMap>
#include <QString>

// Turns a Russian name into the Latin letters and underscores used in file and container names.
class mytranslit
{
public:
    mytranslit();
    ~mytranslit();

    // Appends the transliteration of `source` to `destination` (which is not cleared first).
    // Characters without an entry (Latin letters, digits, punctuation, the hard and soft signs)
    // contribute nothing. `source` is left unchanged.
    void myTranslit(QString &source, QString &destination);

private:
    QMap<QString, QString> table;
};
