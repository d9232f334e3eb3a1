#pragma once

#include "ports/settings_store.h"

#include <string>
#include <string_view>

namespace bellwick {

// Settings in an INI file per application: $XDG_CONFIG_HOME/<application>.ini
// (~/.config/<application>.ini by default), one [section] per group.
//
// Values that are valid UTF-8 are stored as plain text (Sound=/home/me/a.wav);
// any other byte string is stored as @ByteArray(...) so that every path a
// Linux file system can hold reads back byte for byte.
//
// Each call opens the file afresh, so edits made by hand in between are seen.
// read() never writes; a save() that fails leaves the file as it was.
class QtSettingsStore final : public SettingsStore {
public:
    std::string read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view fallback) override;
    void save(std::string_view application, std::string_view section, std::string_view key,
              std::string_view value) override;

    // Where the settings of this application live.
    static std::string filePath(std::string_view application);
};

}  // namespace bellwick
