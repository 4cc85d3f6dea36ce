#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: the input read as text or as several fields, and a check that
// ends the run with a message when a property of the result does not hold. A crash, a leak or a
// sanitizer report ends it just the same.
namespace FuzzInput {

// The bytes as the program reads a utility's output: decoded as UTF-8, bad sequences replaced.
inline QString text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
}

// The first byte as switches, the rest as `count` texts cut at each byte 0x1F (unit separator);
// missing texts are empty, the last one takes whatever follows.
struct Fields
{
    unsigned switches = 0;
    QStringList texts;
    bool on(int bit) const { return switches & (1u << bit); }
};

inline Fields fields(const uint8_t *data, size_t size, int count)
{
    Fields f;
    if (size > 0) {
        f.switches = data[0];
        ++data;
        --size;
    }
    QString rest = text(data, size);
    for (int i = 0; i < count - 1; ++i) {
        const int cut = rest.indexOf(QChar(0x1F));
        f.texts << (cut < 0 ? rest : rest.left(cut));
        rest = cut < 0 ? QString() : rest.mid(cut + 1);
    }
    f.texts << rest;
    return f;
}

} // namespace FuzzInput

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: does not hold: %s\n", __FILE__, __LINE__, #condition);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
