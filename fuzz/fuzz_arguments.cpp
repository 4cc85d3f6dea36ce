// The argument lists built from what a user typed or chose: whatever the form values, names and
// paths hold, each list has its fixed length and each value is one argument of its own.
#include "containers/keycontainers.h"
#include "fuzzinput.h"
#include "request/requestcommand.h"
#include "signing/signingcommand.h"

namespace {

enum Field {
    SN,
    G,
    I,
    CN,
    UN,
    T,
    OU,
    O,
    Street,
    E,
    Snils,
    Inn,
    Ogrn,
    L,
    Country,
    Region,
    KeyStore,
    Container,
    Name,
    Path,
    Thumbprint,
    Input,
    FieldCount
};

const QStringList formKeys{QStringLiteral("SN"),
                           QStringLiteral("G"),
                           QStringLiteral("I"),
                           QStringLiteral("CN"),
                           QStringLiteral("OID.1.2.840.113549.1.9.2"),
                           QStringLiteral("T"),
                           QStringLiteral("OU"),
                           QStringLiteral("O"),
                           QStringLiteral("STREET"),
                           QStringLiteral("E"),
                           QStringLiteral("SNILS"),
                           QStringLiteral("INN"),
                           QStringLiteral("OGRN"),
                           QStringLiteral("L")};

void checkRequest(const FuzzInput::Fields &in)
{
    const bool privatePerson = in.on(0), newKey = in.on(1), egis = in.on(2), pgu = in.on(3);
    QMap<QString, QString> values;
    for (int f = SN; f <= L; ++f)
        values.insert(formKeys.at(f), in.texts.at(f));

    const QString dn = RequestCommand::distinguishedName(values, privatePerson, in.texts[Country],
                                                         in.texts[Region]);
    // Only the quotes around O, STREET and values with a comma are left: no value can bring one.
    int quoted = 0;
    for (const QString &name : RequestCommand::attributeNames(privatePerson)) {
        const QString value = values.value(name).trimmed().remove(QLatin1Char('"'));
        if (values.value(name).isEmpty())
            continue;
        const bool wrapped = name == QLatin1String("O") || name == QLatin1String("STREET") ||
                             value.contains(QLatin1Char(','));
        const QString quote = wrapped ? QStringLiteral("\"") : QString();
        FUZZ_CHECK(dn.contains(name + QLatin1Char('=') + quote + value + quote + QLatin1Char(',')));
        quoted += wrapped ? 2 : 0;
    }
    // The country and the region are sent untrimmed, and quoted only when they hold a comma.
    const auto tail = [&quoted](const QString &name, QString value) {
        value.remove(QLatin1Char('"'));
        const QString quote = value.contains(QLatin1Char(',')) ? QStringLiteral("\"") : QString();
        quoted += quote.size() * 2;
        return name + QLatin1Char('=') + quote + value + quote;
    };
    const QString end = tail(QStringLiteral("C"), in.texts[Country]) + QLatin1Char(',') +
                        tail(QStringLiteral("S"), in.texts[Region]);
    FUZZ_CHECK(dn.count(QLatin1Char('"')) == quoted);
    FUZZ_CHECK(dn.endsWith(end));

    const QStringList container = RequestCommand::containerArguments(
        newKey, in.texts[KeyStore], in.texts[Container], in.texts[Name]);
    const QString usage = RequestCommand::usageList(egis, pgu);
    const int providerType = RequestCommand::providerType(in.texts[Name]);
    const QStringList args =
        RequestCommand::arguments(dn, providerType, container, usage, in.texts[Path]);
    FUZZ_CHECK(args.size() == (newKey ? 12 : 13));
    FUZZ_CHECK(args.at(2) == dn && args.constLast() == in.texts[Path]);
    FUZZ_CHECK(QStringList({"75", "80", "81"}).contains(args.at(4)));
    FUZZ_CHECK(args.at(args.size() - 3) == usage);
    if (newKey)
        FUZZ_CHECK(args.at(7) == QStringLiteral("\\\\.\\") + in.texts[KeyStore] +
                                     QLatin1Char('\\') + in.texts[Name]);
    else
        FUZZ_CHECK(args.at(8) == in.texts[Container]);
}

void checkSigning(const FuzzInput::Fields &in)
{
    const QString &thumbprint = in.texts[Thumbprint], &input = in.texts[Input];
    const QString store = in.on(4) ? QStringLiteral("uRoot") : QStringLiteral("uMy");

    const QStringList sign = SigningCommand::signArguments(thumbprint, store, input);
    FUZZ_CHECK(sign.size() == 6 && sign.at(2) == thumbprint && sign.at(4) == input &&
               sign.at(5) == input + QStringLiteral(".sig"));
    const QStringList encrypt = SigningCommand::encryptArguments(thumbprint, store, input);
    FUZZ_CHECK(encrypt.size() == 6 && encrypt.at(2) == thumbprint && encrypt.at(4) == input &&
               encrypt.at(5) == input + QStringLiteral(".crypt"));
    const QStringList check = SigningCommand::checkArguments(input);
    FUZZ_CHECK(check.size() == 2 && check.at(1) == input);

    const SigningCommand::Recovery recovery = SigningCommand::recovery(input, in.on(5), thumbprint);
    if (input.endsWith(QStringLiteral(".sig"))) {
        FUZZ_CHECK(recovery.arguments.size() == 3 && recovery.arguments.at(1) == input);
        FUZZ_CHECK(recovery.arguments.at(2) + QStringLiteral(".sig") == input);
    } else if (input.endsWith(QStringLiteral(".crypt")) && in.on(5)) {
        FUZZ_CHECK(recovery.arguments.size() == 6 && recovery.arguments.at(2) == thumbprint);
        FUZZ_CHECK(recovery.arguments.at(4) == input &&
                   recovery.arguments.at(5) + QStringLiteral(".crypt") == input);
    } else {
        FUZZ_CHECK(recovery.arguments.isEmpty() && !recovery.refusal.isEmpty());
    }
}

void checkContainers(const FuzzInput::Fields &in)
{
    const QString &source = in.texts[Container], &store = in.texts[KeyStore];
    const QStringList remove = KeyContainers::deleteArguments(source);
    FUZZ_CHECK(remove.size() == 4 && remove.constLast() == source);

    const int number = KeyContainers::copyNumber(int(in.switches) * 337);
    FUZZ_CHECK(number >= 0 && number < 100000);
    const QString shortName = KeyContainers::copyShortName(source);
    FUZZ_CHECK(shortName.size() <= 13 && !shortName.contains(QLatin1Char('\\')));
    FUZZ_CHECK(source.section(QLatin1Char('\\'), -1).startsWith(shortName));
    FUZZ_CHECK(KeyContainers::copyTargetName(source, store, number) ==
               QStringLiteral("\\\\.\\") + store + QLatin1Char('\\') + shortName +
                   QString::number(number));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzInput::Fields in = FuzzInput::fields(data, size, FieldCount);
    checkRequest(in);
    checkSigning(in);
    checkContainers(in);
    return 0;
}
