#pragma once

#include "csp/toolrunner.h"

#include <QString>
#include <QStringList>

#include <optional>

// A utility and its arguments, passed to it unchanged: a path, container name or thumbprint is
// always one argument, whatever blanks or quotes it holds.
struct CertCommand
{
    QString program;
    QStringList arguments;
    // What the progress window says while it runs.
    QString label;
};

// The certmgr commands that list, install, export and delete certificates. `binDir` is the
// directory of the CSP utilities with its trailing slash.
namespace CertCommands {

// The stores the certificate table lists, in the order of its rows.
QStringList tableStores();

// The endings of the files taken for certificates and for revocation lists, in any case.
QStringList certificateEndings();
QStringList crlEndings();

CertCommand listStore(const QString &binDir, const QString &store);

// A user's certificate file into uMy: bound to `container`, or with "-all" when no container is
// selected (an empty name). With a container the file must have one of certificateEndings();
// for another ending there is nothing to run.
std::optional<CertCommand> installUserCertificate(const QString &binDir, const QString &path,
                                                  const QString &container);

// The certificate held in a key container into uMy.
CertCommand installContainerCertificate(const QString &binDir, const QString &container);

// A root certificate (".cer", ".crt") or bundle (".p7b", with "-all") into uRoot; nothing to run
// for another ending.
std::optional<CertCommand> installRootCertificate(const QString &binDir, const QString &path);

// A revocation list (".crl") into uCA; nothing to run for another ending.
std::optional<CertCommand> installCrl(const QString &binDir, const QString &path);

// The full description of one installed certificate, or of the one in a key container.
CertCommand showInstalled(const QString &binDir, const QString &thumbprint, const QString &store);
CertCommand showInContainer(const QString &binDir, const QString &container);

// Saves an installed certificate as `directory`/`thumbprint`.cer.
CertCommand exportCertificate(const QString &binDir, const QString &thumbprint,
                              const QString &store, const QString &directory);

CertCommand deleteCertificate(const QString &binDir, const QString &store,
                              const QString &thumbprint);

// What the certificate dialog shows for a listing: the listing without its separator lines of
// exactly 77 "=", with an explanation after the two error codes a container can give.
QString dialogText(const QString &listing);

// The command as a run of the tool runner, labelled with its own label unless options has one.
ToolJob job(const CertCommand &command, const ToolOptions &options = {});

// Runs a command through the tool runner.
ToolResult run(const CertCommand &command, const ToolOptions &options = {});

} // namespace CertCommands
