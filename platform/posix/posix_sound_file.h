#pragma once
// A sound file opened for the core's checks and then for the decoder:
// regular files only, opened without blocking.

#include "sound/sound_file.h"

#include <string>

namespace bellwick {

class PosixSoundFile final : public SoundSource {
public:
    // Opens name when it is a regular file. Otherwise nothing is open and
    // problem() says why, in the core's words.
    explicit PosixSoundFile(const std::string& name);
    ~PosixSoundFile() override;
    PosixSoundFile(const PosixSoundFile&) = delete;
    PosixSoundFile& operator=(const PosixSoundFile&) = delete;

    // "" when the file is open.
    const std::string& problem() const { return problem_; }

    std::uint64_t size() const override { return size_; }
    // By pread, so the descriptor's offset stays at 0 for whoever takes it.
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length) const override;

    // Hands the descriptor over (-1 when none is open); it is no longer
    // closed here.
    int release();

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string problem_;
};

}  // namespace bellwick
