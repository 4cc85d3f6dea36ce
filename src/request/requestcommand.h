#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The pieces of the one cryptcp command text that creates a certificate request. The text is
// later split by Qt's command rules (ToolRunner::splitCommand), and every quote below is placed
// for exactly those rules.
namespace RequestCommand {

// The attributes that enter the distinguished name, in their order. A private person's request
// never carries the organisation's fields, even when the hidden fields still hold text.
QStringList attributeNames(bool privatePerson);

// The distinguished name from the saved form values (keyed by attribute name). Empty values are
// left out; the others are trimmed and their double quotes doubled; O and STREET are wrapped in
// three double quotes so that the utility receives them in one pair of literal quotes. Country
// and region are appended as they are, even when empty.
QString distinguishedName(const QMap<QString, QString> &values, bool privatePerson,
                          const QString &country, const QString &region);

// The quoted list of key usages: the optional certificate types, then client authentication and
// e-mail protection.
QString usageList(bool egis, bool pgu);

// "-cont" with a new container on the key store, or "-nokeygen -cont" with an existing one.
QString containerPart(bool newKey, const QString &keyStore, const QString &existingContainer,
                      const QString &name);

// The full command text for the tool runner.
QString commandText(const QString &cspBinDir, const QString &distinguishedName,
                    const QString &containerPart, const QString &usageList,
                    const QString &requestPath);

} // namespace RequestCommand
