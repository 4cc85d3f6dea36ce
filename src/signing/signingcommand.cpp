#include "signing/signingcommand.h"

#include "csp/fileendings.h"

#include <QFileInfo>

namespace {

const QString signedSuffix = QStringLiteral(".sig");
const QString encryptedSuffix = QStringLiteral(".crypt");

QStringList certificateArguments(const QString &operation, const QString &thumbprint,
                                 const QString &store, const QString &input, const QString &suffix)
{
    return {operation,  QStringLiteral("-thumbprint"),
            thumbprint, QLatin1Char('-') + store,
            input,      input + suffix};
}

} // namespace

QStringList SigningCommand::signArguments(const QString &thumbprint, const QString &store,
                                          const QString &input)
{
    return certificateArguments(QStringLiteral("-sign"), thumbprint, store, input, signedSuffix);
}

QStringList SigningCommand::encryptArguments(const QString &thumbprint, const QString &store,
                                             const QString &input)
{
    return certificateArguments(QStringLiteral("-encr"), thumbprint, store, input, encryptedSuffix);
}

QStringList SigningCommand::detachedSignArguments(const QString &thumbprint, const QString &store,
                                                  const QString &input)
{
    return {QStringLiteral("-sign"),
            QStringLiteral("-detached"),
            QStringLiteral("-der"),
            QStringLiteral("-thumbprint"),
            thumbprint,
            QLatin1Char('-') + store,
            input,
            input + signedSuffix};
}

QStringList SigningCommand::checkArguments(const QString &input)
{
    return {QStringLiteral("-verify"), input};
}

QStringList SigningCommand::detachedCheckArguments(const QString &document,
                                                   const QString &signature)
{
    return {QStringLiteral("-verify"), QStringLiteral("-detached"), document, signature};
}

QStringList SigningCommand::extractArguments(const QString &input)
{
    return {QStringLiteral("-verify"), input, input.chopped(signedSuffix.size())};
}

QStringList SigningCommand::decryptArguments(const QString &thumbprint, const QString &input)
{
    return {QStringLiteral("-decr"),
            QStringLiteral("-thumbprint"),
            thumbprint,
            QStringLiteral("-start"),
            input,
            input.chopped(encryptedSuffix.size())};
}

SigningCommand::Recovery SigningCommand::recovery(const QString &input, bool certificateSelected,
                                                  const QString &thumbprint)
{
    if (FileEndings::matches(input, {signedSuffix}))
        return {extractArguments(input), QString()};
    if (!FileEndings::matches(input, {encryptedSuffix}))
        return {QStringList(), FileEndings::refusal(input, {signedSuffix, encryptedSuffix})};
    if (!certificateSelected)
        return {QStringList(), QStringLiteral("Не выбран сертификат для расшифровки")};
    return {decryptArguments(thumbprint, input), QString()};
}

SigningCommand::FileRun SigningCommand::signing(Signing kind, const QString &thumbprint,
                                                const QString &store, const QString &input)
{
    switch (kind) {
    case Signing::Detached:
        return {detachedSignArguments(thumbprint, store, input), input + signedSuffix, {}, 1};
    case Signing::Encrypted:
        return {encryptArguments(thumbprint, store, input), input + encryptedSuffix, {}, 1};
    case Signing::Attached:
        break;
    }
    return {signArguments(thumbprint, store, input), input + signedSuffix, {}, 1};
}

SigningCommand::FileRun SigningCommand::checking(bool detached, const QString &input)
{
    if (!detached)
        return {checkArguments(input), {}, {}, 2};
    // A name without ".sig" names no document; checking it against itself would prove nothing.
    if (!FileEndings::matches(input, {signedSuffix}))
        return {
            {}, {}, QStringLiteral("Подпись должна быть в файле с расширением .sig:\n") + input, 2};
    const QString document = input.chopped(signedSuffix.size());
    if (!QFileInfo(document).isFile())
        return {{}, {}, QStringLiteral("Не найден подписанный документ:\n") + document, 2};
    return {detachedCheckArguments(document, input), {}, {}, 2};
}

ToolOptions SigningCommand::answering(int answers)
{
    ToolOptions options;
    for (int i = 0; i < answers; ++i)
        options.answers << QByteArrayLiteral("Y");
    return options;
}
