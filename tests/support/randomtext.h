#pragma once

#include <QRandomGenerator>
#include <QString>

// Random text over the characters that break command texts and shells: letters (Latin and
// Cyrillic), blanks, double and single quotes, backslashes, dollars and commas. Seeded, so a
// failure can be repeated.
inline QString randomAwkwardText(QRandomGenerator &random, int maxLength = 24)
{
    static const QString alphabet = QStringLiteral("aZя Ж\t\"\"\\'$,");
    QString text;
    const int length = int(random.bounded(maxLength + 1));
    for (int i = 0; i < length; ++i)
        text += alphabet.at(int(random.bounded(alphabet.size())));
    return text;
}
