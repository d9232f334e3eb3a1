#pragma once
// Files of the build tree as this Windows program under Wine sees them:
// Unix "/a/b" is "Z:\a\b".

#include "win32/utf16.h"
#include "win32/win_api.h"

#include <string>

namespace bellwick::testing_win32 {

inline std::string hostPath(std::string unixPath)
{
    for (char& c : unixPath)
        if (c == '/') c = '\\';
    return "Z:" + unixPath;
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileW(win32::toUtf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (f != INVALID_HANDLE_VALUE) {
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(f);
    }
}

inline std::string readFile(const std::string& path)
{
    std::string bytes;
    HANDLE f = CreateFileW(win32::toUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(f);
    return bytes;
}

}  // namespace bellwick::testing_win32
