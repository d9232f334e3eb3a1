#pragma once
// UTF-8 (the core's text) to UTF-16 (the system's) and back.

#include <optional>
#include <string>
#include <string_view>

namespace bellwick::win32 {

// nullopt when the text is not valid UTF-8 (or UTF-16): for values that
// must be stored or opened exactly as given.
std::optional<std::wstring> toUtf16Exact(std::string_view utf8);
std::optional<std::string> toUtf8Exact(std::wstring_view utf16);

// Invalid sequences become U+FFFD: for text that is only shown.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

// The system's text for an error code (GetLastError, a registry or
// common-dialog result), on one line, with the number: "Access denied.
// (error 5)". Falls back to the number alone.
std::string systemMessage(unsigned long error);

}  // namespace bellwick::win32
