#pragma once
// A sound file opened for the core's checks, before MCI sees it.

#include "sound/sound_file.h"
#include "win32/handles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bellwick {

// An opened regular file on disk, read at given offsets (the handle's own
// position is never used). Shares reading only: a file being written is
// refused.
class Win32SoundFile final : public SoundSource {
public:
    Win32SoundFile(const Win32SoundFile&) = delete;
    Win32SoundFile& operator=(const Win32SoundFile&) = delete;

    std::uint64_t size() const override { return size_; }
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length) const override;

    // Opens path (UTF-16) if it names a regular file; problem says why not.
    static std::unique_ptr<Win32SoundFile> open(const std::wstring& path, std::string& problem);

private:
    Win32SoundFile(win32::KernelHandle handle, std::uint64_t size) : handle_(std::move(handle)), size_(size) {}
    win32::KernelHandle handle_;
    std::uint64_t size_;
};

// A file as the core's checks found it: the file, while it is open, and
// what they said (why it cannot play in the core's words, or the system's
// for a failure the user cannot act on; how its header is to be read).
struct CheckedSoundFile {
    std::shared_ptr<const Win32SoundFile> file;  // null when it could not be opened
    SoundCheck check;
};

CheckedSoundFile checkSoundFile(const std::wstring& path);

}  // namespace bellwick
