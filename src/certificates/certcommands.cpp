#include "certificates/certcommands.h"

#include "csp/fileendings.h"

namespace {

QString certmgr(const QString &binDir)
{
    return binDir + QStringLiteral("certmgr");
}

const QString installingCertificate = QStringLiteral("Установка сертификата…");
const QString readingCertificate = QStringLiteral("Чтение сертификата…");

} // namespace

QStringList CertCommands::tableStores()
{
    return {QStringLiteral("uRoot"), QStringLiteral("uMy")};
}

QStringList CertCommands::certificateEndings()
{
    return {QStringLiteral(".p7b"), QStringLiteral(".cer"), QStringLiteral(".crt")};
}

QStringList CertCommands::crlEndings()
{
    return {QStringLiteral(".crl")};
}

CertCommand CertCommands::listStore(const QString &binDir, const QString &store)
{
    return {certmgr(binDir),
            {QStringLiteral("-list"), QStringLiteral("-store"), store},
            QStringLiteral("Чтение списка сертификатов…")};
}

std::optional<CertCommand> CertCommands::installUserCertificate(const QString &binDir,
                                                                const QString &path,
                                                                const QString &container)
{
    QStringList args{QStringLiteral("-inst"), QStringLiteral("-file"), path,
                     QStringLiteral("-store"), QStringLiteral("uMy")};
    if (container.isEmpty())
        return CertCommand{certmgr(binDir), args << QStringLiteral("-all"), installingCertificate};
    if (!FileEndings::matches(path, certificateEndings()))
        return std::nullopt;
    return CertCommand{certmgr(binDir), args << QStringLiteral("-cont") << container,
                       installingCertificate};
}

CertCommand CertCommands::installContainerCertificate(const QString &binDir,
                                                      const QString &container)
{
    return {certmgr(binDir),
            {QStringLiteral("-inst"), QStringLiteral("-cont"), container, QStringLiteral("-store"),
             QStringLiteral("uMy")},
            installingCertificate};
}

std::optional<CertCommand> CertCommands::installRootCertificate(const QString &binDir,
                                                                const QString &path)
{
    QStringList args{QStringLiteral("-inst"), QStringLiteral("-file"), path};
    if (FileEndings::matches(path, {QStringLiteral(".p7b")}))
        args << QStringLiteral("-all");
    else if (!FileEndings::matches(path, certificateEndings()))
        return std::nullopt;
    return CertCommand{certmgr(binDir), args << QStringLiteral("-store") << QStringLiteral("uRoot"),
                       installingCertificate};
}

std::optional<CertCommand> CertCommands::installCrl(const QString &binDir, const QString &path)
{
    if (!FileEndings::matches(path, crlEndings()))
        return std::nullopt;
    return CertCommand{certmgr(binDir),
                       {QStringLiteral("-inst"), QStringLiteral("-crl"), QStringLiteral("-file"),
                        path, QStringLiteral("-store"), QStringLiteral("uCA")},
                       QStringLiteral("Установка списка отозванных сертификатов…")};
}

CertCommand CertCommands::showInstalled(const QString &binDir, const QString &thumbprint,
                                        const QString &store)
{
    return {certmgr(binDir),
            {QStringLiteral("-list"), QStringLiteral("-thumbprint"), thumbprint,
             QStringLiteral("-store"), store},
            readingCertificate};
}

CertCommand CertCommands::showInContainer(const QString &binDir, const QString &container)
{
    return {certmgr(binDir),
            {QStringLiteral("-list"), QStringLiteral("-cont"), container},
            readingCertificate};
}

CertCommand CertCommands::exportCertificate(const QString &binDir, const QString &thumbprint,
                                            const QString &store, const QString &directory)
{
    return {certmgr(binDir),
            {QStringLiteral("-export"), QStringLiteral("-cert"), QStringLiteral("-thumbprint"),
             thumbprint, QStringLiteral("-store"), store, QStringLiteral("-dest"),
             directory + QLatin1Char('/') + thumbprint + QStringLiteral(".cer")},
            QStringLiteral("Сохранение сертификата…")};
}

CertCommand CertCommands::deleteCertificate(const QString &binDir, const QString &store,
                                            const QString &thumbprint)
{
    return {certmgr(binDir),
            {QStringLiteral("-delete"), QStringLiteral("-store"), store,
             QStringLiteral("-thumbprint"), thumbprint},
            QStringLiteral("Удаление сертификата…")};
}

QString CertCommands::dialogText(const QString &listing)
{
    const QString separator(77, QLatin1Char('='));
    QString text;
    const QStringList lines = listing.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line != separator)
            text += line + QLatin1Char('\n');
        if (line == QLatin1String("[ErrorCode: 0x8010002c]"))
            text += QStringLiteral("\nСертификат в контейнере отсутствует\n");
        if (line == QLatin1String("[ErrorCode: 0x8009001f]"))
            text += QStringLiteral("Контейнер не обнаружен\n");
    }
    return text;
}

ToolJob CertCommands::job(const CertCommand &command, const ToolOptions &options)
{
    ToolJob job{command.program, command.arguments, options};
    if (job.options.label.isEmpty())
        job.options.label = command.label;
    return job;
}

ToolResult CertCommands::run(const CertCommand &command, const ToolOptions &options)
{
    return ToolRunner::run(job(command, options));
}
