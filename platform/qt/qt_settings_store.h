#pragma once

#include "ports/settings_store.h"

#include <string>
#include <string_view>

namespace bellwick {

// Settings in an INI file per application: $XDG_CONFIG_HOME/<application>.ini
// (~/.config/<application>.ini by default), one [section] per group, in
// QSettings' INI format; other sections and keys are kept.
//
// Values that are valid UTF-8 are stored as plain text (Sound=/home/me/a.wav);
// any other byte string is stored as @ByteArray(...) so that every path a
// Linux file system can hold reads back byte for byte.
//
// read() only reads. QSettings parses the file again when its size or time
// changed, so edits made in between are seen.
//
// save() has QSettings edit a copy beside the file, reads the copy back, and
// renames it over the file: a save killed at any moment leaves the old or the
// new file whole. A symbolic link to the file stays, and the new file keeps
// the old one's permissions and gets a later time. A file that does not
// parse is refused, as writing would drop what did not. A failure throws
// SaveError with the reason (the system's where it gives one) and leaves the
// file as it was. Saves take turns by a lock on the folder (FolderLock,
// waited for up to five seconds); under it the copies a killed save left
// ("<file>.saving-...") are removed.
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
