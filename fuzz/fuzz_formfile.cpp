// The saved form read from any bytes: a damaged file gives an empty form, a good one reads back
// the same after a save.
#include "fuzzinput.h"
#include "request/formfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QMap<QString, QString> form;
    form.insert(QStringLiteral("left over"), QStringLiteral("from before"));
    if (!readFormData(bytes, form)) {
        FUZZ_CHECK(form.isEmpty());
        return 0;
    }
    // A file of n entries is at least a count and n lengths long.
    FUZZ_CHECK(qint64(form.size()) * 8 + 4 <= bytes.size());
    QMap<QString, QString> again;
    FUZZ_CHECK(readFormData(formDataBytes(form), again));
    FUZZ_CHECK(again == form);
    for (auto it = again.cbegin(); it != again.cend(); ++it)
        FUZZ_CHECK(!it.key().isNull() && !it.value().isNull());
    return 0;
}
