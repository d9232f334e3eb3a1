#include "text/utf16.h"

#include "text/utf8.h"

#include <algorithm>

namespace bellwick {

namespace {

// UTF-16 units of the first count characters of utf8 (all of them when it
// has fewer). A byte that is not UTF-8 shows as one U+FFFD.
long long unitsOf(std::string_view utf8, long long count)
{
    long long units = 0;
    for (std::size_t i = 0; i < utf8.size() && count-- > 0;) {
        const Utf8Step step = decodeUtf8(utf8, i);
        units += step.codePoint > 0xFFFF ? 2 : 1;  // beyond U+FFFF: a surrogate pair
        i += step.length;
    }
    return units;
}

}  // namespace

std::size_t codePoints(std::string_view utf8)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < utf8.size(); ++n)
        i += decodeUtf8(utf8, i).length;
    return n;
}

Utf16Range utf16Selection(std::string_view utf8, int start, int length)
{
    const long long from = std::max(start, 0);
    const long long to = from + std::max(length, 0);
    const long long startUnits = unitsOf(utf8, from);
    return {static_cast<int>(startUnits), static_cast<int>(unitsOf(utf8, to) - startUnits)};
}

}  // namespace bellwick
