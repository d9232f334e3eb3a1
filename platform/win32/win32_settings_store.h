#pragma once
// Settings in the registry of the current user.

#include "ports/settings_store.h"

namespace bellwick {

// HKEY_CURRENT_USER\Software\<application>\<section>, value <key>, a REG_SZ
// in UTF-16. Any UTF-8 text without NUL characters round-trips.
//
// read() never writes. A value that exists reads as its text, an empty one
// as empty; an absent value or key, a value of another type and one that
// cannot be read all give the fallback and are left as they are.
// save() creates the keys as needed; a failure throws SaveError with the
// system's reason, and what was stored before stays.
class Win32SettingsStore final : public SettingsStore {
public:
    std::string read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view fallback) override;
    void save(std::string_view application, std::string_view section, std::string_view key,
              std::string_view value) override;

    // "Software\<application>\<section>", the key's path under HKCU.
    static std::string keyPath(std::string_view application, std::string_view section);
};

}  // namespace bellwick
