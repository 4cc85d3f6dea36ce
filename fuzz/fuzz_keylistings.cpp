// The csptest container and reader listings: any output gives entries that are lines of it.
#include "containers/keycontainers.h"
#include "fuzzinput.h"

#include <cctype>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Reads "0x" and `digits` hexadecimal digits at `at`, then at least one blank; false otherwise.
bool field(const QString &line, int &at, int digits)
{
    if (line.mid(at, 2) != QLatin1String("0x"))
        return false;
    at += 2;
    for (int i = 0; i < digits; ++i, ++at)
        if (at >= line.size() || line.at(at).unicode() > 127 || !isxdigit(line.at(at).unicode()))
            return false;
    if (at >= line.size() || !isBlank(line.at(at)))
        return false;
    while (at < line.size() && isBlank(line.at(at)))
        ++at;
    return true;
}

bool isAsciiSpace(QChar c)
{
    return c.unicode() < 128 && isspace(c.unicode());
}

// The name of a line of two hexadecimal fields, without blanks at its end; null for any other.
QString nameAfterTwoFields(const QString &line)
{
    int at = 0;
    while (at < line.size() && isBlank(line.at(at)))
        ++at;
    if (!field(line, at, 4) || !field(line, at, 2))
        return {};
    if (at >= line.size() || isAsciiSpace(line.at(at)))
        return {};
    int end = line.size();
    while (isAsciiSpace(line.at(end - 1)))
        --end;
    return line.mid(at, end - at);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString listing = FuzzInput::text(data, size);
    const QStringList lines = listing.split(QLatin1Char('\n'));

    // Each container is a whole line that begins with a backslash, in output order, and none is
    // left out.
    const QStringList containers = KeyContainers::containerNames(listing);
    int next = 0;
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1Char('\\')))
            continue;
        FUZZ_CHECK(next < containers.size() && containers.at(next) == line);
        ++next;
    }
    FUZZ_CHECK(next == containers.size());

    // Each reader comes from one line, in order. A line of two hexadecimal fields ("0x012a 0x03")
    // and a name gives the name without the blanks at its end; any other line that begins " 0x0"
    // gives its tail from the 16th character.
    const QStringList readers = KeyContainers::readerNames(listing);
    next = 0;
    for (const QString &line : lines) {
        const QString twoFieldName = nameAfterTwoFields(line);
        if (!twoFieldName.isNull()) {
            FUZZ_CHECK(next < readers.size() && readers.at(next) == twoFieldName);
            ++next;
            continue;
        }
        if (!line.startsWith(QLatin1String(" 0x0")))
            continue;
        FUZZ_CHECK(next < readers.size());
        const QString &reader = readers.at(next++);
        if (reader.isEmpty())
            FUZZ_CHECK(line.size() <= 15);
        else
            FUZZ_CHECK(line.size() == 15 + reader.size() && line.endsWith(reader));
        FUZZ_CHECK(!reader.contains(QLatin1Char('\n')));
    }
    FUZZ_CHECK(next == readers.size());
    return 0;
}
