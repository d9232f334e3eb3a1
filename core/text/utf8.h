#pragma once
// The one UTF-8 decoder of the core. Text may come from anywhere (a file
// name, a stored setting, a system message), so every walk over its bytes
// takes each step from here.

#include <cstddef>
#include <string_view>

namespace bellwick {

struct Utf8Step {
    char32_t codePoint = 0;  // U+FFFD where invalid
    std::size_t length = 1;  // bytes taken: 1 for a byte that is not UTF-8
    bool valid = false;
};

// The character that starts at utf8[at] (at < size). Overlong forms,
// surrogates, values beyond U+10FFFF, sequences cut short and stray
// continuation bytes are invalid, one byte at a time.
Utf8Step decodeUtf8(std::string_view utf8, std::size_t at);

}  // namespace bellwick
