#include "sound/sound_file.h"

#include "text/utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace bellwick {

namespace {

constexpr std::size_t kWindow = 256 * 1024;   // read after the tag: enough for the first frames
constexpr std::size_t kSyncScan = 64 * 1024;  // how far into the audio the first frame may stand
constexpr int kMaxChunks = 64;                // WAV chunks looked at before giving up on "data"

const char* const kNotSound = "the file is not a WAV or MP3 file";

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// A data size no recorder meant: what streaming writers and ones stopped
// early leave in place (0, 0x7FFFF000 by sox, 0x7FFFFFFF, 0xFFFFFFFF).
bool placeholderSize(std::uint32_t len, std::uint64_t at, std::uint64_t size)
{
    return len == 0 || (len >= 0x7FFFF000u && at + 8 + std::uint64_t(len) > size);
}

std::uint32_t clamp32(std::uint64_t v) { return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, 0xFFFFFFFFu)); }

SoundCheck checkWav(const SoundSource& source, std::uint64_t size)
{
    bool fmt = false;
    std::uint64_t bytesPerSecond = 0;
    std::uint16_t blockAlign = 1;
    std::uint64_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        if (at + 8 > size) return {fmt ? "the WAV file is truncated" : "the WAV file has no format block", {}};
        const std::vector<std::uint8_t> h = source.read(at, 8);
        if (h.size() < 8) return {"the WAV file is truncated", {}};
        const std::uint32_t len = le32(&h[4]);
        if (std::memcmp(h.data(), "fmt ", 4) == 0) {
            if (len < 16 || at + 8 + 16 > size) return {"the WAV format block is damaged", {}};
            const std::vector<std::uint8_t> f = source.read(at + 8, 16);
            if (f.size() < 16) return {"the WAV format block is damaged", {}};
            const std::uint16_t channels = le16(&f[2]);
            const std::uint32_t rate = le32(&f[4]);
            blockAlign = std::max<std::uint16_t>(le16(&f[12]), 1);
            if (channels == 0 || rate == 0) return {"the WAV format block is damaged", {}};
            bytesPerSecond = std::uint64_t(rate) * blockAlign;
            fmt = true;
        } else if (std::memcmp(h.data(), "data", 4) == 0) {
            if (!fmt) return {"the WAV file has no format block", {}};
            std::vector<HeaderPatch> patches;
            std::uint64_t sound = len;
            if (placeholderSize(len, at, size)) {
                sound = (size - at - 8) / blockAlign * blockAlign;
                patches.push_back({at + 4, clamp32(sound)});
            } else if (at + 8 + std::uint64_t(len) > size) {
                return {"the WAV file is truncated", {}};
            }
            if (sound == 0 || sound < bytesPerSecond / 100) return {"the WAV file holds (almost) no sound", {}};
            return {"", patches};
        }
        at += 8 + std::uint64_t(len) + (len & 1);
    }
    return {"the WAV file has no sound data", {}};
}

// Length in bytes of the MPEG audio frame whose header is at p, or 0.
std::size_t mpegFrameLength(const std::uint8_t* p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
    const int version = (p[1] >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;    // 1: III, 2: II, 3: I
    const int bitrateIndex = p[2] >> 4;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
    static constexpr std::array<std::array<int, 15>, 5> kKbps{{
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // V1 L1
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // V1 L2
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // V1 L3
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},     // V2 L1
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},          // V2 L2, L3
    }};
    static constexpr std::array<int, 3> kRates{44100, 48000, 32000};
    const bool v1 = version == 3;
    const int table = v1 ? 3 - layer : (layer == 3 ? 3 : 4);
    const int kbps = kKbps[table][bitrateIndex];
    const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    if (layer == 3) return static_cast<std::size_t>((12 * kbps * 1000 / rate + padding) * 4);
    const int factor = (layer == 1 && !v1) ? 72 : 144;
    return static_cast<std::size_t>(factor * kbps * 1000 / rate + padding);
}

std::uint32_t be32(const std::uint8_t* p) { return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Whether the first frame, at b[pos], is a Xing/Info or VBRI header (as LAME
// and others write) that declares more bytes of audio than there are from it
// on: a cut file. audioSize counts from b[0] to the end of the file; a tag
// before b[0] is never counted against the declared length.
bool declaredLengthMissing(const std::vector<std::uint8_t>& b, std::size_t pos, std::uint64_t audioSize)
{
    const std::size_t frameEnd = std::min(b.size(), pos + mpegFrameLength(&b[pos]));
    const std::uint64_t have = audioSize - pos;
    for (std::size_t at = pos + 4; at + 16 <= frameEnd && at < pos + 64; ++at) {
        if (std::memcmp(&b[at], "Xing", 4) == 0 || std::memcmp(&b[at], "Info", 4) == 0) {
            const std::uint32_t flags = be32(&b[at + 4]);
            if (!(flags & 2)) return false;  // no byte count
            const std::size_t field = at + 8 + ((flags & 1) ? 4 : 0);
            return field + 4 <= frameEnd && have < be32(&b[field]);
        }
        if (std::memcmp(&b[at], "VBRI", 4) == 0 && at + 14 <= frameEnd) return have < be32(&b[at + 10]);
    }
    return false;
}

std::string checkMp3(const SoundSource& source, std::uint64_t size)
{
    std::uint64_t start = 0;
    bool tagged = false;
    const std::vector<std::uint8_t> t = source.read(0, 10);
    if (t.size() >= 10 && std::memcmp(t.data(), "ID3", 3) == 0) {
        const std::uint64_t tag =
            std::uint64_t(t[6] & 0x7F) << 21 | (t[7] & 0x7F) << 14 | (t[8] & 0x7F) << 7 | (t[9] & 0x7F);
        start = 10 + tag + ((t[5] & 0x10) ? 10 : 0);
        tagged = true;
        if (start > size) return "the MP3 file is truncated";
    }
    const std::vector<std::uint8_t> b = source.read(start, kWindow);
    const std::size_t scan = std::min(b.size(), kSyncScan);
    for (std::size_t pos = 0; pos < scan && pos + 4 <= b.size(); ++pos) {
        if (b[pos] != 0xFF) continue;
        std::size_t at = pos;
        int frames = 0;
        while (frames < 3 && at + 4 <= b.size()) {
            const std::size_t len = mpegFrameLength(&b[at]);
            if (len == 0) break;
            at += len;
            ++frames;
        }
        if (frames == 3) return declaredLengthMissing(b, pos, size - start) ? "the MP3 file is truncated" : "";
        // Frames that run into the end of the file: a cut file, not chance,
        // if they start the audio or two of them chain.
        if (at + 4 > b.size() && (frames >= 2 || (frames == 1 && pos == 0))) return "the MP3 file is truncated";
    }
    return tagged ? "the MP3 file holds no sound after its tag" : kNotSound;
}

}  // namespace

std::string soundFileNameProblem(std::string_view name)
{
    if (name.empty()) return "no file is chosen";
    if (name.find('\0') != std::string_view::npos) return "the name holds a NUL byte";
    return "";
}

std::string openFailureProblem(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::Missing: return "no such file";
    case OpenFailure::PathNotFolder: return "a part of the path is not a folder";
    case OpenFailure::NoPermission: return "no permission to read it";
    case OpenFailure::NameTooLong: return "the name is too long";
    case OpenFailure::LinkLoop: return "too many symbolic links";
    }
    return "it cannot be opened";
}

std::string fileKindProblem(FileKind kind)
{
    switch (kind) {
    case FileKind::Regular: return "";
    case FileKind::Folder: return "it is a folder, not a sound file";
    case FileKind::Fifo: return "it is a pipe (FIFO), not a sound file";
    case FileKind::Device: return "it is a device, not a sound file";
    case FileKind::Socket: return "it is a socket, not a sound file";
    case FileKind::Other: break;
    }
    return "it is not a regular file";
}

std::string cannotPlayMessage(std::string_view name, std::string_view why)
{
    constexpr std::size_t kHead = 200, kTail = 100;
    std::string s;
    for (char c : name)
        s += c == '\0' ? std::string("\\0") : std::string(1, c);
    if (s.size() > kHead + kTail + 50) {
        // Cut at character bounds: the last at or before kHead, the first
        // at or after kTail bytes from the end.
        std::size_t head = 0, tail = 0;
        for (std::size_t i = 0; i < s.size(); i += decodeUtf8(s, i).length) {
            if (i <= kHead) head = i;
            if (i >= s.size() - kTail) {
                tail = i;
                break;
            }
        }
        s = s.substr(0, head) + "\u2026(" + std::to_string(tail - head) + " bytes)\u2026" + s.substr(tail);
    }
    return "cannot play '" + s + "': " + std::string(why);
}

std::vector<std::uint8_t> MemorySoundSource::read(std::uint64_t offset, std::size_t length) const
{
    if (offset >= bytes_.size()) return {};
    const auto from = static_cast<std::size_t>(offset);
    const std::size_t n = std::min(length, bytes_.size() - from);
    return {bytes_.begin() + static_cast<std::ptrdiff_t>(from), bytes_.begin() + static_cast<std::ptrdiff_t>(from + n)};
}

SoundCheck inspectSound(const SoundSource& source)
{
    try {
        const std::uint64_t size = source.size();
        if (size == 0) return {"the file is empty", {}};
        const std::vector<std::uint8_t> h = source.read(0, 12);
        if (h.size() >= 12 && std::memcmp(h.data(), "RIFF", 4) == 0 && std::memcmp(&h[8], "WAVE", 4) == 0) {
            SoundCheck check = checkWav(source, size);
            if (check.problem.empty() && placeholderSize(le32(&h[4]), 0, size))
                check.patches.insert(check.patches.begin(), HeaderPatch{4, clamp32(size - 8)});
            return check;
        }
        return {checkMp3(source, size), {}};
    } catch (const SoundReadError&) {
        return {"the file cannot be read", {}};
    }
}

std::string checkSound(const SoundSource& source) { return inspectSound(source).problem; }

void applyPatches(const std::vector<HeaderPatch>& patches, std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    for (const HeaderPatch& p : patches) {
        for (std::uint64_t i = 0; i < 4; ++i) {
            const std::uint64_t at = p.offset + i;
            if (at >= offset && at - offset < bytes.size())
                bytes[static_cast<std::size_t>(at - offset)] = static_cast<std::uint8_t>(p.value >> (8 * i));
        }
    }
}

}  // namespace bellwick
