#pragma once

#include <QString>

// Check digits of the taxpayer number (INN) and the pension insurance number (SNILS).
// Only the positions a check reads are looked at; the caller guarantees the length.
class testinn
{
public:
    testinn();
    ~testinn();

    // "00" followed by a 10-digit organisation INN, or a 12-digit personal INN. The prefix alone
    // decides which of the two is checked.
    bool testinns(const QString &inn);
    // 11 digits without separators: 9 number digits and the 2-digit check number.
    bool testsnils(const QString &snils);
};
