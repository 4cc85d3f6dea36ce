#pragma once

#include <QStringView>

// The lines of a certmgr certificate listing: a label column of fixed width, then the value.
// The certificate table and the loading of the request form from a certificate both read lines
// through here, so they agree on which line is which.
namespace ListingLines {

// The width of a listing's label column ("Issuer              : "); the value follows it.
constexpr int labelWidth = 22;

// What a listing line holds, by its label.
enum class Field { Issuer, Subject, Thumbprint, NotBefore, NotAfter, Container, None };

// The field of a line: its label column, up to the first colon, names it in any case. Whatever
// stands after that belongs to the value, however much it looks like a label.
Field fieldOf(QStringView line);

// The value of a line: what follows its label column.
inline QStringView valueOf(QStringView line)
{
    return line.mid(labelWidth);
}

} // namespace ListingLines
