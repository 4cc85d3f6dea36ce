#include "signing/signingcommand.h"

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

QStringList SigningCommand::checkArguments(const QString &input)
{
    return {QStringLiteral("-verify"), input};
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
    if (input.endsWith(signedSuffix))
        return {extractArguments(input), QString()};
    if (!input.endsWith(encryptedSuffix))
        return {QStringList(), QStringLiteral("Выберите файл с расширением .sig или .crypt")};
    if (!certificateSelected)
        return {QStringList(), QStringLiteral("Не выбран сертификат для расшифровки")};
    return {decryptArguments(thumbprint, input), QString()};
}

ToolOptions SigningCommand::answering(int answers)
{
    ToolOptions options;
    for (int i = 0; i < answers; ++i)
        options.answers << QByteArrayLiteral("Y");
    return options;
}
