#pragma once

#include <QString>
#include <QStringList>

// Plain functions behind the container and key-store lists and the copy and delete buttons.
namespace KeyContainers {

// The container entry that means "nothing selected".
inline QString noneEntry()
{
    return QStringLiteral("none");
}

// Whether the text of "Хранилище для ключа:" names a key store: not "none", and not empty, which
// it is when no reader was found.
inline bool isKeyStore(const QString &text)
{
    return !text.isEmpty() && text != noneEntry();
}

// What a new key or a copy says when no key store is chosen.
inline QString noKeyStoreMessage()
{
    return QStringLiteral("Не выбрано хранилище для ключа\nнажмите кнопку \"Найти доступные "
                          "контейниры\"\nвыберите хранилище для ключа.");
}

// The csptest arguments of the container listing and of the reader listing.
QStringList containerListingArguments();
QStringList readerListingArguments();

// Fully qualified container names from the csptest container listing: every line that begins
// with a backslash, kept whole (a trailing blank or carriage return stays part of it).
QStringList containerNames(const QString &listing);

// Key-store (reader) names from the csptest reader listing. A line of two hexadecimal fields
// ("0x012a 0x03") and a name gives the name, whatever the blanks around the fields, without
// blanks at its end; any other line that begins " 0x0" carries the name from its 16th character
// on.
QStringList readerNames(const QString &listing);

// The container's own name (the part after its last backslash), cut to 12 characters when it
// is longer than 13, so that the copy number still fits the CSP's limit.
QString copyShortName(const QString &sourceName);

// A pseudo-random copy number below 100000, drawn from a generator seeded with the given
// seconds since midnight: the same second always gives the same number.
int copyNumber(int secondsSinceMidnight);

// The fully qualified name of a copy of sourceName on the key store `store`.
QString copyTargetName(const QString &sourceName, const QString &store, int copyNumber);

// The csptest arguments that delete a container; the name is one argument, whatever it holds.
QStringList deleteArguments(const QString &containerName);

} // namespace KeyContainers
