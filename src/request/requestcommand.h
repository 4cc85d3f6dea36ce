#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The arguments of the cryptcp run that creates a certificate request. They are passed to the
// utility as they are, so a quote or a blank in a form value, a key-store name or a path can
// never split an argument or add one.
namespace RequestCommand {

// The attributes that enter the distinguished name, in their order. A private person's request
// never carries the organisation's fields, even when the hidden fields still hold text.
QStringList attributeNames(bool privatePerson);

// The distinguished name from the saved form values (keyed by attribute name), as one argument.
// Empty values are left out; the others are trimmed and lose their double quotes; O, STREET and
// every value holding a comma are wrapped in one pair of double quotes. Country and region are
// appended untrimmed (without double quotes, quoted when they hold a comma), even when empty.
QString distinguishedName(const QMap<QString, QString> &values, bool privatePerson,
                          const QString &country, const QString &region);

// The list of key usages: the optional certificate types, then client authentication and
// e-mail protection.
QString usageList(bool egis, bool pgu);

// "-cont" with a new container on the key store, or "-nokeygen -cont" with an existing one.
QStringList containerArguments(bool newKey, const QString &keyStore,
                               const QString &existingContainer, const QString &name);

// The provider type given after "-provtype" for an entry of "Алгоритм ключа:": 80 for
// GOST R 34.10-2012 with 256-bit keys (also for a text not in the list), 81 with 512-bit keys,
// 75 for GOST R 34.10-2001, for which accredited centres no longer issue qualified certificates.
int providerType(const QString &algorithm);

// Everything after the program's path.
QStringList arguments(const QString &distinguishedName, int providerType,
                      const QStringList &containerArguments, const QString &usageList,
                      const QString &requestPath);

} // namespace RequestCommand
