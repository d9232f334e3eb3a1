#include "rules/utf16.h"

#include <algorithm>

namespace bellwick {

namespace {

bool continues(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// UTF-16 units of the first count code points of utf8 (all of them when
// it has fewer).
long long unitsOf(std::string_view utf8, long long count)
{
    long long units = 0;
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (continues(byte)) continue;
        if (count-- <= 0) break;
        units += byte >= 0xF0 ? 2 : 1;  // four bytes: beyond U+FFFF, a surrogate pair
    }
    return units;
}

}  // namespace

std::size_t codePoints(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char ch) { return !continues(static_cast<unsigned char>(ch)); }));
}

Utf16Range utf16Selection(std::string_view utf8, int start, int length)
{
    const long long from = std::max(start, 0);
    const long long to = from + std::max(length, 0);
    const long long startUnits = unitsOf(utf8, from);
    return {static_cast<int>(startUnits), static_cast<int>(unitsOf(utf8, to) - startUnits)};
}

}  // namespace bellwick
