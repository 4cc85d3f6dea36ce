#include "request/mytranslit.h"

#include <QHash>

#include <algorithm>

namespace {

struct Entry
{
    const char *key;
    const char *latin;
};

// Capital Ш gives a single "S" while small ш gives "sh": intended, not a slip. File names made
// from a name must come out the same in every release.
const Entry entries[] = {
    {"А", "A"},  {"а", "a"},  {"Б", "B"},  {"б", "b"},   {"В", "V"},   {"в", "v"},  {"Г", "G"},
    {"г", "g"},  {"Д", "D"},  {"д", "d"},  {"Е", "E"},   {"е", "e"},   {"Ё", "Yo"}, {"ё", "yo"},
    {"Ж", "Zh"}, {"ж", "zh"}, {"З", "Z"},  {"з", "z"},   {"И", "I"},   {"и", "i"},  {"Й", "Y"},
    {"й", "y"},  {"К", "K"},  {"к", "k"},  {"Л", "L"},   {"л", "l"},   {"М", "M"},  {"м", "m"},
    {"Н", "N"},  {"н", "n"},  {"О", "O"},  {"о", "o"},   {"П", "P"},   {"п", "p"},  {"Р", "R"},
    {"р", "r"},  {"С", "S"},  {"с", "s"},  {"Т", "T"},   {"т", "t"},   {"У", "U"},  {"у", "u"},
    {"Ф", "F"},  {"ф", "f"},  {"Х", "H"},  {"х", "h"},   {"Ц", "Ts"},  {"ц", "ts"}, {"Ч", "Ch"},
    {"ч", "ch"}, {"Ш", "S"},  {"ш", "sh"}, {"Щ", "Sch"}, {"щ", "sch"}, {"Ы", "Y"},  {"ы", "y"},
    {"Э", "E"},  {"э", "e"},  {"Ю", "Yu"}, {"ю", "yu"},  {"Я", "Ya"},  {"я", "ya"}, {" ", "_"},
};

// Built on first use and kept: every key is one character.
const QHash<QChar, QString> &table()
{
    static const QHash<QChar, QString> latinOf = [] {
        QHash<QChar, QString> built;
        for (const Entry &e : entries)
            built.insert(QString::fromUtf8(e.key).at(0), QString::fromUtf8(e.latin));
        return built;
    }();
    return latinOf;
}

} // namespace

mytranslit::mytranslit() = default;

mytranslit::~mytranslit() = default;

void mytranslit::myTranslit(QString &source, QString &destination)
{
    for (const QChar c : qAsConst(source)) {
        // A name typed in Latin letters keeps them.
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            destination += c;
        else
            destination += table().value(c);
    }
}

bool mytranslit::holdsLetter(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c != QLatin1Char('_'); });
}

QString mytranslit::noLetterMessage()
{
    return QStringLiteral("Фамилия и имя не содержат букв, из которых можно составить имя файла.");
}
