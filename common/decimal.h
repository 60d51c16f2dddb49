// Integers as "%d" writes them, appended to a string: what the programs'
// texts need, without linking the printf machinery into them.
#pragma once

#include <cstdint>
#include <string>

namespace sonarel {

template <class Char>
void AppendDecimal(std::basic_string<Char>& out, std::int64_t value) {
    Char digits[20];
    int count = 0;
    // Negated digit by digit, so the most negative value needs no special case.
    const bool negative = value < 0;
    do {
        const int digit = static_cast<int>(value % 10);
        digits[count++] = static_cast<Char>('0' + (negative ? -digit : digit));
        value /= 10;
    } while (value != 0);
    if (negative) out += static_cast<Char>('-');
    while (count > 0) out += digits[--count];
}

}  // namespace sonarel
