#include "win32/win32_settings_store.h"

#include "win32/handles.h"
#include "win32/utf16.h"
#include "win32/win_api.h"

#include <cstring>
#include <optional>
#include <vector>

namespace bellwick {

namespace {

using win32::systemMessage;
using win32::toUtf16Exact;

// A key name is one level: no backslash, not empty.
bool isKeyName(std::string_view name) { return !name.empty() && name.find('\\') == std::string_view::npos; }

// The data of a REG_SZ value as text: up to its first NUL, whether or not
// the writer stored one (an odd last byte is dropped).
std::wstring stringData(const std::vector<BYTE>& data, DWORD size)
{
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    return text;
}

// The value's text; nullopt when it is absent, not a REG_SZ or unreadable.
std::optional<std::wstring> readString(HKEY key, const std::wstring& name)
{
    // The value may grow between the two calls: ask again with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
        if (type != REG_SZ) return std::nullopt;
        std::vector<BYTE> data(size + sizeof(wchar_t));
        DWORD got = size;
        const LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
        return stringData(data, got);
    }
    return std::nullopt;
}

}  // namespace

std::string Win32SettingsStore::keyPath(std::string_view application, std::string_view section)
{
    return "Software\\" + std::string(application) + "\\" + std::string(section);
}

std::string Win32SettingsStore::read(std::string_view application, std::string_view section, std::string_view key,
                                     std::string_view fallback)
{
    if (!isKeyName(application) || !isKeyName(section)) return std::string(fallback);
    const auto path = toUtf16Exact(keyPath(application, section));
    const auto name = toUtf16Exact(key);
    if (!path || !name) return std::string(fallback);
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path->c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return std::string(fallback);
    const win32::RegistryKey opened(raw);
    const auto text = readString(opened.get(), *name);
    if (!text) return std::string(fallback);
    // A value written by another program may hold an unpaired surrogate; it
    // shows as U+FFFD rather than being taken for absent.
    return win32::toUtf8(*text);
}

void Win32SettingsStore::save(std::string_view application, std::string_view section, std::string_view key,
                              std::string_view value)
{
    const std::string where = "HKEY_CURRENT_USER\\" + keyPath(application, section) + "\\" + std::string(key);
    const auto fail = [&where](const std::string& why) { throw SaveError("cannot save " + where + ": " + why); };
    if (!isKeyName(application) || !isKeyName(section)) fail("the key name is empty or holds a backslash");
    const auto path = toUtf16Exact(keyPath(application, section));
    const auto name = toUtf16Exact(key);
    if (!path || !name) fail("the name is not valid UTF-8 text");
    const auto text = toUtf16Exact(value);
    if (!text) fail("the value is not valid UTF-8 text");
    // REG_SZ ends at its first NUL: a NUL inside would cut the value short.
    if (text->find(L'\0') != std::wstring::npos) fail("the value holds a NUL character");

    HKEY raw = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &raw, nullptr);
    if (status != ERROR_SUCCESS) fail(systemMessage(static_cast<unsigned long>(status)));
    const win32::RegistryKey created(raw);
    const DWORD bytes = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    status =
        RegSetValueExW(created.get(), name->c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text->c_str()), bytes);
    if (status != ERROR_SUCCESS) fail(systemMessage(static_cast<unsigned long>(status)));
}

}  // namespace bellwick
