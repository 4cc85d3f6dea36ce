#pragma once

#include "csp/toolrunner.h"

#include <QString>
#include <QStringList>

// The cryptcp argument lists for signing, encrypting, checking and recovering a document. Each
// path is one argument whatever it holds, so a blank or a double quote in a file name reaches the
// utility whole.
namespace SigningCommand {

// Signs `input` into `input` + ".sig" with the certificate of `thumbprint` in `store` ("uMy" or
// "uRoot").
QStringList signArguments(const QString &thumbprint, const QString &store, const QString &input);
// Encrypts `input` into `input` + ".crypt" for the owner of that certificate.
QStringList encryptArguments(const QString &thumbprint, const QString &store, const QString &input);
// Signs `input` into `input` + ".sig" as a detached signature in DER, the form portals take
// beside the document itself.
QStringList detachedSignArguments(const QString &thumbprint, const QString &store,
                                  const QString &input);
// Checks the signature of `input` and writes nothing.
QStringList checkArguments(const QString &input);
// Checks the detached signature `signature` of `document` and writes nothing.
QStringList detachedCheckArguments(const QString &document, const QString &signature);
// Checks the signature of `input` (ending in ".sig") and writes the signed document without it.
QStringList extractArguments(const QString &input);
// Decrypts `input` (ending in ".crypt") with the key of `thumbprint` into the name without it.
QStringList decryptArguments(const QString &thumbprint, const QString &input);

// What recovering a document from a chosen file comes to: either the arguments to run, or the
// text to show instead of running anything. The arguments end with the file the run writes.
struct Recovery
{
    QStringList arguments;
    QString refusal;
};

// Only the two names we make are recovered (the endings in any case): a ".sig" file is checked
// and its document extracted, a ".crypt" file is decrypted with the selected certificate. Any
// other name is refused, since the output name is cut from the input and could name a file the
// user never meant.
Recovery recovery(const QString &input, bool certificateSelected, const QString &thumbprint);

// One chosen file of a signing or a check: the arguments to run and the file the run writes, or
// the text to show instead of running anything.
struct FileRun
{
    QStringList arguments;
    QString written;
    QString refusal;
    int answers = 1;
};

enum class Signing { Attached, Detached, Encrypted };
FileRun signing(Signing kind, const QString &thumbprint, const QString &store,
                const QString &input);
// A detached check takes the chosen file as the signature and the same name without ".sig" as
// the document, which must exist.
FileRun checking(bool detached, const QString &input);

// How cryptcp is run for these operations: it asks its question after its first output and reads
// `answers` letters "Y", each written on its own. Every wait is the usual one; a check of a large
// file, or of a chain the CSP has to build, needs as long as any other operation.
ToolOptions answering(int answers);

} // namespace SigningCommand
