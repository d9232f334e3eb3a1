#pragma once
// Text positions: the core counts characters as code points of its UTF-8
// text; Qt's strings and Windows' edit controls count UTF-16 units.

#include <cstddef>
#include <string_view>

namespace bellwick {

// The characters in a UTF-8 text; a byte that is not UTF-8 counts as one.
std::size_t codePoints(std::string_view utf8);

struct Utf16Range {
    int start = 0, length = 0;
    friend bool operator==(const Utf16Range&, const Utf16Range&) = default;
};

// A selection of utf8 given in code points, in UTF-16 units; clamped to
// the text, negative values count as 0.
Utf16Range utf16Selection(std::string_view utf8, int start, int length);

}  // namespace bellwick
