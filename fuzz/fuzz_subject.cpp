// The certificate subject from a certmgr listing, and its split into the request form's fields.
#include "fuzzinput.h"
#include "request/subjectfields.h"

namespace {

const QStringList attributes{QStringLiteral("SN"),
                             QStringLiteral("G"),
                             QStringLiteral("I"),
                             QStringLiteral("T"),
                             QStringLiteral("UnstructuredName"),
                             QStringLiteral("O"),
                             QStringLiteral("E"),
                             QStringLiteral("SNILS"),
                             QStringLiteral("INN"),
                             QStringLiteral("OGRN"),
                             QStringLiteral("L")};

void checkSplit(const QString &subject)
{
    const SubjectFields::Fields fields = SubjectFields::split(subject);
    const QStringList components = subject.split(QStringLiteral(", "));
    if (!fields.streetSet) {
        // At most one component: nothing is taken, the form stays as it was.
        FUZZ_CHECK(components.size() <= 1 && fields.values.isEmpty() && fields.street.isEmpty());
        return;
    }
    // Every value is the rest of one component after a recognised attribute and its "=".
    FUZZ_CHECK(fields.values.size() <= components.size());
    for (const auto &value : fields.values) {
        FUZZ_CHECK(attributes.contains(value.first));
        FUZZ_CHECK(components.contains(value.first + QLatin1Char('=') + value.second));
    }
    // The street is put together from parts of the subject only.
    FUZZ_CHECK(fields.street.size() <= subject.size() + 2 * components.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = FuzzInput::text(data, size);
    const QString subject = SubjectFields::subjectFromListing(text);
    FUZZ_CHECK(!subject.contains(QLatin1Char('\n')));
    FUZZ_CHECK(subject.isEmpty() || text.contains(subject));
    checkSplit(subject);
    // The subject line as it would read in a listing with nothing around it.
    checkSplit(text);
    return 0;
}
