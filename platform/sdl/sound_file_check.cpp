#include "sound_file_check.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace bellwick {

namespace {

constexpr std::size_t kHeadBytes = 256 * 1024;  // enough for tags and the first frames

std::uint32_t le32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24; }
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::string checkWav(const std::vector<std::uint8_t>& b, std::uint64_t size)
{
    bool fmt = false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t len = le32(&b[at + 4]);
        if (std::memcmp(&b[at], "fmt ", 4) == 0) {
            if (len < 16 || at + 8 + 16 > b.size()) return "the WAV format block is damaged";
            const std::uint16_t channels = le16(&b[at + 10]);
            const std::uint32_t rate = le32(&b[at + 12]);
            if (channels == 0 || rate == 0) return "the WAV format block is damaged";
            fmt = true;
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (!fmt) return "the WAV file has no format block";
            if (len == 0) return "the WAV file holds no sound";
            if (at + 8 + std::uint64_t(len) > size) return "the WAV file is truncated";
            return "";
        }
        at += 8 + std::size_t(len) + (len & 1);
    }
    return "the WAV file is truncated";
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

std::string checkMp3(const std::vector<std::uint8_t>& b)
{
    std::size_t at = 0;
    if (b.size() >= 10 && std::memcmp(b.data(), "ID3", 3) == 0) {
        const std::size_t tag = (b[6] & 0x7F) << 21 | (b[7] & 0x7F) << 14 | (b[8] & 0x7F) << 7 | (b[9] & 0x7F);
        at = 10 + tag + ((b[5] & 0x10) ? 10 : 0);
    }
    // Three frames in a row, each where the one before says it ends.
    for (int frame = 0; frame < 3; ++frame) {
        if (at + 4 > b.size()) return frame == 0 ? "the file is not a WAV or MP3 file" : "the MP3 file is truncated";
        const std::size_t len = mpegFrameLength(&b[at]);
        if (len == 0) return frame == 0 ? "the file is not a WAV or MP3 file" : "the MP3 file is damaged";
        at += len;
    }
    return "";
}

}  // namespace

std::string checkSoundBytes(const std::vector<std::uint8_t>& b, std::uint64_t size)
{
    if (size == 0) return "the file is empty";
    if (b.size() >= 12 && std::memcmp(b.data(), "RIFF", 4) == 0 && std::memcmp(&b[8], "WAVE", 4) == 0)
        return checkWav(b, size);
    return checkMp3(b);
}

std::string checkSoundFile(int fd)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0) return "the file cannot be examined";
    std::vector<std::uint8_t> head(std::min<std::uint64_t>(kHeadBytes, static_cast<std::uint64_t>(st.st_size)));
    std::size_t got = 0;
    while (got < head.size()) {
        const ssize_t n = ::pread(fd, head.data() + got, head.size() - got, static_cast<off_t>(got));
        if (n < 0) return "the file cannot be read";
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return checkSoundBytes(head, static_cast<std::uint64_t>(st.st_size));
}

}  // namespace bellwick
