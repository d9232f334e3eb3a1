#include "win32/win32_file_dialog.h"

#include "text/filter.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace bellwick {

namespace {

// Room for the longest path the system takes (\\?\ form).
constexpr std::size_t kPathRoom = 32768;

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
    // A NUL inside a part would end the system's list early.
    const auto part = [](const std::string& text) {
        std::wstring wide = win32::toUtf16(text);
        std::replace(wide.begin(), wide.end(), L'\0', L' ');
        return wide;
    };
    std::wstring out;
    for (const FilterEntry& entry : splitFilter(filter)) {
        std::string patterns;
        for (const std::string& pattern : entry.patterns)
            patterns += (patterns.empty() ? "" : ";") + pattern;
        out += part(entry.description) + L'\0' + part(patterns) + L'\0';
    }
    return out.empty() ? out : out + L'\0';
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
