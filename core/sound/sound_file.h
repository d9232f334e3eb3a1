#pragma once
// A quick look at a sound file before the decoder sees it: decoders take
// some damaged or foreign files without complaint and then play silence
// (a WAV cut anywhere after its header loads as if whole, for one).
//
// What counts as sound:
//  - WAV: "RIFF....WAVE", a fmt chunk (at least 16 bytes, channels and rate
//    not 0) before a data chunk, and the data chunk lies wholly inside the
//    file and holds at least 10 ms of sound. A data size that a recorder
//    left as a placeholder (0, or 0x7FFFF000 and above past the end of the
//    file: written to a pipe, or stopped before it went back to the
//    header) means the sound runs to the end of the file; the decoder is
//    then given the real size (SoundCheck::patches), since some take 0 for
//    no sound at all. A RIFF size left so is given as the file's, since
//    others look for the chunks only inside it.
//  - MP3: after an optional ID3v2 tag (of any size), three MPEG audio frame
//    headers in a row, each where the one before says it ends. The first may
//    stand up to 64 KiB into the audio (junk or padding before it is
//    tolerated, as the decoder does). Random bytes pass this by chance with a
//    probability of well under one in a million. When the first frame is a
//    Xing/Info or VBRI header with a byte count (LAME writes one), the file
//    must hold that many bytes from it on. An MP3 without such a header has
//    no length to check against: cut after its third frame, it plays shorter.
//  - Anything else is refused.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bellwick {

// --- before the file is opened ---

// "" for a name that may be opened, else why not: none is chosen, or it
// holds a NUL byte (system calls would cut the name there and open
// another file).
std::string soundFileNameProblem(std::string_view name);

// Failures to open a file that the user can act on; anything else is
// told in the system's own words.
enum class OpenFailure { Missing, PathNotFolder, NoPermission, NameTooLong, LinkLoop };
std::string openFailureProblem(OpenFailure failure);

// What a name stands for. Only a regular file is opened: opening a FIFO
// or a device can block or have side effects.
enum class FileKind { Regular, Folder, Fifo, Device, Socket, Other };

// "" for a regular file, else why it is not played.
std::string fileKindProblem(FileKind kind);

// The player's message: "cannot play '<name>': <why>". The name shows a
// NUL as \0, and a very long one is shortened in the middle at UTF-8
// character bounds.
std::string cannotPlayMessage(std::string_view name, std::string_view why);

// --- the opened file ---

// A read from an opened sound file failed.
struct SoundReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One opened file, as the checks read it.
class SoundSource {
public:
    virtual ~SoundSource() = default;
    virtual std::uint64_t size() const = 0;
    // Up to length bytes from offset; fewer only at the end. Throws
    // SoundReadError when the read fails.
    virtual std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length) const = 0;
};

// A whole file held in memory.
class MemorySoundSource final : public SoundSource {
public:
    explicit MemorySoundSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length) const override;

private:
    std::vector<std::uint8_t> bytes_;
};

// Four bytes a decoder must read differently: at offset, value in little
// endian.
struct HeaderPatch {
    std::uint64_t offset = 0;
    std::uint32_t value = 0;
};

struct SoundCheck {
    std::string problem;               // "" when the file looks playable
    std::vector<HeaderPatch> patches;  // WAV sizes to correct, if any
};

// What checkSound says, and how the header is to be read when it holds
// placeholders.
SoundCheck inspectSound(const SoundSource& source);

// Writes the patches into bytes, which were read from offset on: the
// file as the decoder is to read it.
void applyPatches(const std::vector<HeaderPatch>& patches, std::uint64_t offset, std::span<std::uint8_t> bytes);

// "" when the bytes look like a playable WAV or MP3 file, else why not,
// in words for the user.
std::string checkSound(const SoundSource& source);

}  // namespace bellwick
