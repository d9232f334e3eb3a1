#include "win32/utf16.h"

#include "win32/win_api.h"

#include <climits>

namespace bellwick::win32 {

namespace {

std::optional<std::wstring> widen(std::string_view s, DWORD flags)
{
    if (s.empty()) return std::wstring();
    if (s.size() > INT_MAX) return std::nullopt;
    const int in = static_cast<int>(s.size());
    const int n = MultiByteToWideChar(CP_UTF8, flags, s.data(), in, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_UTF8, flags, s.data(), in, out.data(), n) != n) return std::nullopt;
    return out;
}

std::optional<std::string> narrow(std::wstring_view s, DWORD flags)
{
    if (s.empty()) return std::string();
    if (s.size() > INT_MAX / 3) return std::nullopt;
    const int in = static_cast<int>(s.size());
    const int n = WideCharToMultiByte(CP_UTF8, flags, s.data(), in, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    if (WideCharToMultiByte(CP_UTF8, flags, s.data(), in, out.data(), n, nullptr, nullptr) != n) return std::nullopt;
    return out;
}

}  // namespace

std::optional<std::wstring> toUtf16Exact(std::string_view utf8) { return widen(utf8, MB_ERR_INVALID_CHARS); }

std::optional<std::string> toUtf8Exact(std::wstring_view utf16) { return narrow(utf16, WC_ERR_INVALID_CHARS); }

std::wstring toUtf16(std::string_view utf8)
{
    if (auto exact = widen(utf8, MB_ERR_INVALID_CHARS)) return std::move(*exact);
    return widen(utf8, 0).value_or(std::wstring());
}

std::string toUtf8(std::wstring_view utf16)
{
    if (auto exact = narrow(utf16, WC_ERR_INVALID_CHARS)) return std::move(*exact);
    return narrow(utf16, 0).value_or(std::string());
}

std::string systemMessage(unsigned long error)
{
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n > 0 && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\r' || text.back() == L'\n'))
        text.pop_back();
    const std::string number = "error " + std::to_string(error);
    return text.empty() ? number : toUtf8(text) + " (" + number + ")";
}

}  // namespace bellwick::win32
