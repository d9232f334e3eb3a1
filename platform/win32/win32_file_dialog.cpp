#include "win32/win32_file_dialog.h"

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <cwchar>
#include <vector>

namespace bellwick {

namespace {

// Room for the longest path the system takes (\\?\ form).
constexpr std::size_t kPathRoom = 32768;

std::wstring trimmed(std::wstring_view s)
{
    while (!s.empty() && (s.front() == L' ' || s.front() == L'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == L' ' || s.back() == L'\t'))
        s.remove_suffix(1);
    return std::wstring(s);
}

std::vector<std::wstring> split(std::wstring_view s, wchar_t separator)
{
    std::vector<std::wstring> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = s.find(separator, start);
        parts.emplace_back(s.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
        if (end == std::wstring_view::npos) return parts;
        start = end + 1;
    }
}

// "*.wav;*.mp3;" as "*.wav;*.mp3": no empty or blank patterns.
std::wstring cleanPatterns(std::wstring_view patterns)
{
    std::wstring out;
    for (const std::wstring& p : split(patterns, L';')) {
        const std::wstring pattern = trimmed(p);
        if (pattern.empty()) continue;
        if (!out.empty()) out += L';';
        out += pattern;
    }
    return out.empty() ? std::wstring(L"*.*") : out;
}

std::string dialogErrorName(DWORD code)
{
    switch (code) {
    case CDERR_DIALOGFAILURE: return "the dialog could not be created";
    case CDERR_INITIALIZATION: return "not enough memory to start the dialog";
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE: return "out of memory";
    case FNERR_BUFFERTOOSMALL: return "the file name is too long";
    case FNERR_INVALIDFILENAME: return "the file name is not valid";
    default: return "the dialog failed";
    }
}

}  // namespace

std::wstring systemFilter(const std::string& filter)
{
    if (filter.empty()) return {};
    std::wstring wide = win32::toUtf16(filter);
    // A NUL would end the system's list early.
    for (wchar_t& c : wide)
        if (c == L'\0') c = L' ';
    const std::vector<std::wstring> parts = split(wide, L'|');
    std::wstring out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        out += parts[i];
        out += L'\0';
        out += cleanPatterns(parts[i + 1]);
        out += L'\0';
    }
    if (!out.empty()) out += L'\0';
    return out;
}

void Win32FileDialog::setTitle(const std::string& title) { title_ = win32::toUtf16(title); }

void Win32FileDialog::setFilter(const std::string& filter) { filter_ = systemFilter(filter); }

void Win32FileDialog::open()
{
    lastError_.clear();
    std::vector<wchar_t> buffer(kPathRoom, L'\0');
    // 0 for a choice or a cancel, else CommDlgExtendedError's code.
    bool chosen = false;
    const auto show = [&](bool withName) -> DWORD {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        if (withName && fileName_.size() < buffer.size())
            std::wmemcpy(buffer.data(), fileName_.data(), fileName_.size());
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = GetActiveWindow();
        ofn.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = buffer.data();
        ofn.nMaxFile = static_cast<DWORD>(buffer.size());
        ofn.lpstrTitle = title_.empty() ? nullptr : title_.c_str();
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_NOCHANGEDIR;
        chosen = GetOpenFileNameW(&ofn) != 0;
        return chosen ? 0 : CommDlgExtendedError();
    };
    DWORD error = show(true);
    // A kept name the dialog will not take (it no longer fits the file
    // system's rules, say) must not lock the user out: once more without it.
    if (error == FNERR_INVALIDFILENAME || error == FNERR_BUFFERTOOSMALL) error = show(false);
    if (chosen) {
        fileName_.assign(buffer.data());
    } else if (error != 0) {
        lastError_ = dialogErrorName(error) + " (CommDlgExtendedError " + std::to_string(error) + ")";
    }
}

std::string Win32FileDialog::fileName() const { return win32::toUtf8(fileName_); }

}  // namespace bellwick
