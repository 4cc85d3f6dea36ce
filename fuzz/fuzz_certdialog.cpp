// The certificate dialog's label filled from a certmgr listing: every line but the separators
// is shown as it came and in its order, and the two error codes a container can give each bring
// their explanation.
#include "certificates/certcommands.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString listing = FuzzInput::text(data, size);
    const QString shown = CertCommands::dialogText(listing);
    FUZZ_CHECK(shown.isEmpty() || shown.endsWith(QLatin1Char('\n')));
    QStringList shownLines = shown.split(QLatin1Char('\n'));
    shownLines.removeLast();

    const QString separator(77, QLatin1Char('='));
    QStringList kept;
    int explanationLines = 0;
    for (const QString &line : listing.split(QLatin1Char('\n'))) {
        if (line != separator)
            kept << line;
        if (line == QLatin1String("[ErrorCode: 0x8010002c]"))
            explanationLines += 2; // a blank line, then the text
        if (line == QLatin1String("[ErrorCode: 0x8009001f]"))
            explanationLines += 1;
    }
    FUZZ_CHECK(!shownLines.contains(separator));
    FUZZ_CHECK(shownLines.size() == kept.size() + explanationLines);
    int next = 0;
    for (const QString &line : shownLines)
        if (next < kept.size() && line == kept.at(next))
            ++next;
    FUZZ_CHECK(next == kept.size());
    return 0;
}
