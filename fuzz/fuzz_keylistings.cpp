// The csptest container and reader listings: any output gives entries that are lines of it.
#include "containers/keycontainers.h"
#include "fuzzinput.h"

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

    // Each reader is the tail, from the 16th character, of a line that begins " 0x0".
    const QStringList readers = KeyContainers::readerNames(listing);
    next = 0;
    for (const QString &line : lines) {
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
