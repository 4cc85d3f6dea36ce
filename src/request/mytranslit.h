#pragma once

#include <QString>

// Turns a Russian name into the Latin letters and underscores used in file and container names.
class mytranslit
{
public:
    mytranslit();
    ~mytranslit();

    // Appends the transliteration of `source` to `destination` (which is not cleared first).
    // Latin letters stay as they are; other characters without an entry (digits, punctuation,
    // the hard and soft signs) contribute nothing. `source` is left unchanged.
    void myTranslit(QString &source, QString &destination);

    // False for a transliterated name that cannot name a file: empty, or only underscores.
    static bool holdsLetter(const QString &name);
    // What the user is told instead of writing such a file.
    static QString noLetterMessage();
};
