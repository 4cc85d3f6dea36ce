#include "csp/listinglines.h"

#include <string_view>

namespace {

using ListingLines::Field;

struct Marker
{
    std::string_view label; // in lower case
    Field field;
};

// Tested in this order. Newer certmgr releases call the thumbprint "SHA1 Thumbprint".
constexpr Marker markers[] = {
    {"issuer", Field::Issuer},
    {"subject", Field::Subject},
    {"sha1 hash", Field::Thumbprint},
    {"sha1 thumbprint", Field::Thumbprint},
    {"not valid before", Field::NotBefore},
    {"not valid after", Field::NotAfter},
    {"container", Field::Container},
};

} // namespace

// Every line of a listing passes through fieldOf, so the label is folded once into a small
// buffer: ASCII letters to lower case, and any other character that is not ASCII to one byte that
// no marker holds. Qt's full case folding would cost more than the rest of reading a listing.
Field ListingLines::fieldOf(QStringView line)
{
    char label[labelWidth];
    std::size_t size = 0;
    for (const QChar c : line.left(labelWidth)) {
        const char16_t u = c.unicode();
        if (u == u':')
            break;
        label[size++] = u >= u'A' && u <= u'Z' ? char(u - u'A' + 'a') : u < 0x80 ? char(u) : '\x80';
    }
    const std::string_view text(label, size);
    for (const Marker &m : markers) {
        // Labels are a few characters long: a plain scan beats a library search here.
        for (std::size_t at = 0; at + m.label.size() <= text.size(); ++at) {
            if (text[at] == m.label[0] && text.compare(at, m.label.size(), m.label) == 0)
                return m.field;
        }
    }
    return Field::None;
}
