#pragma once
// A WAV handed to MCI's waveaudio device through an mmio I/O procedure of
// its own, which reads the file with the core's corrections of its header
// (placeholder sizes, which waveaudio refuses). Nothing is written to disk.

#include "sound/sound_file.h"
#include "win32/win_api.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace bellwick {

class PatchedWav {
public:
    // Installs an I/O procedure for file, under a four-character code no
    // other one in this process uses; null when none can be installed.
    static std::unique_ptr<PatchedWav> serve(std::shared_ptr<const SoundSource> file, std::vector<HeaderPatch> patches);
    // Removes the procedure: MCI's device must have closed the file first.
    ~PatchedWav();
    PatchedWav(const PatchedWav&) = delete;
    PatchedWav& operator=(const PatchedWav&) = delete;

    // The compound name mmio opens it by ("bellwick.<code>+alarm"), for
    // MCI's open with "type waveaudio".
    const std::wstring& name() const { return name_; }

private:
    PatchedWav(FOURCC code, std::wstring name) : code_(code), name_(std::move(name)) {}
    FOURCC code_;
    std::wstring name_;
};

}  // namespace bellwick
