#include "request/testinn.h"

#include <array>

namespace {

// The decimal digit at `pos`, or -1 for anything else, including a position past the end.
int digitAt(const QString &text, int pos)
{
    if (pos >= text.size())
        return -1;
    const QChar c = text.at(pos);
    // Only ASCII digits: QChar::isDigit would also accept other scripts' digits.
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
}

template <std::size_t N>
bool readDigits(const QString &text, int offset, std::array<int, N> &digits)
{
    for (std::size_t i = 0; i < N; ++i) {
        digits[i] = digitAt(text, offset + int(i));
        if (digits[i] < 0)
            return false;
    }
    return true;
}

// The weighted sum mod 11, with 10 counting as 0.
template <std::size_t N> int innCheck(const std::array<int, N> &weights, const int *digits)
{
    int sum = 0;
    for (std::size_t i = 0; i < N; ++i)
        sum += weights[i] * digits[i];
    const int check = sum % 11;
    return check == 10 ? 0 : check;
}

} // namespace

testinn::testinn() = default;

testinn::~testinn() = default;

bool testinn::testinns(const QString &inn)
{
    if (inn.startsWith(QLatin1String("00"))) {
        std::array<int, 10> d{};
        if (!readDigits(inn, 2, d))
            return false;
        const std::array<int, 9> w{2, 4, 10, 3, 5, 9, 4, 6, 8};
        return innCheck(w, d.data()) == d[9];
    }

    std::array<int, 12> d{};
    if (!readDigits(inn, 0, d))
        return false;
    const std::array<int, 10> w1{7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
    const std::array<int, 11> w2{3, 7, 2, 4, 10, 3, 5, 9, 4, 6, 8};
    return innCheck(w1, d.data()) == d[10] && innCheck(w2, d.data()) == d[11];
}

bool testinn::testsnils(const QString &snils)
{
    std::array<int, 11> d{};
    if (!readDigits(snils, 0, d))
        return false;
    int sum = 0;
    for (int i = 0; i < 9; ++i)
        sum += (9 - i) * d[i];
    if (sum > 101)
        sum %= 101;
    if (sum == 100 || sum == 101)
        sum = 0;
    return sum == 10 * d[9] + d[10];
}
