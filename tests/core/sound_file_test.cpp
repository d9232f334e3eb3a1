// The sound-file rules on files made here byte by byte: WAV as sox writes
// it, MP3 frames with the Info header LAME puts first.
#include "sound/alarm_tone.h"
#include "sound/sound_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace bellwick {
namespace {

std::string check(const std::string& content)
{
    return checkSound(MemorySoundSource(std::vector<std::uint8_t>(content.begin(), content.end())));
}

std::string le32(std::uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string be32(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

// An ID3v2.4 tag of n bytes after its header (a syncsafe size).
std::string id3(std::size_t n)
{
    std::string t = std::string("ID3\x04\x00\x00", 6);
    for (int shift : {21, 14, 7, 0})
        t += static_cast<char>((n >> shift) & 0x7F);
    return t + std::string(n, '\0');
}

// A WAV of the given chunks after RIFF/WAVE.
std::string riff(const std::string& chunks)
{
    return "RIFF" + le32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks;
}
std::string chunk(const char* id, const std::string& body)
{
    return id + le32(static_cast<std::uint32_t>(body.size())) + body;
}
std::string fmt16(std::uint16_t channels, std::uint32_t rate)
{
    const auto align = static_cast<std::uint16_t>(channels * 2);
    std::string f =
        std::string("\x01\x00", 2) + std::string{static_cast<char>(channels), 0} + le32(rate) + le32(rate * align);
    return f + std::string{static_cast<char>(align), 0} + std::string("\x10\x00", 2);
}

// One second of 16-bit stereo at 44.1 kHz.
std::string wav() { return riff(chunk("fmt ", fmt16(2, 44100)) + chunk("data", std::string(44100 * 4, '\x10'))); }

// Layer III frames after an Info frame that counts their bytes. header is
// a frame's first four bytes, frameLength what they make, sideInfo the
// bytes between the header and the Info tag.
std::string mp3(const std::string& header, std::size_t frameLength, std::size_t sideInfo, int frames)
{
    std::string frame = header + std::string(frameLength - 4, '\0');
    std::string info = frame;
    info.replace(4 + sideInfo, 16,
                 "Info" + be32(0x0F) + be32(static_cast<std::uint32_t>(frames + 1)) +
                     be32(static_cast<std::uint32_t>((frames + 1) * frameLength)));
    std::string out = info;
    for (int i = 0; i < frames; ++i)
        out += frame;
    return out;
}
// MPEG-1, 128 kbit/s, 44.1 kHz stereo: 417-byte frames.
std::string mp3() { return mp3(std::string("\xFF\xFB\x90\x00", 4), 417, 32, 100); }
// MPEG-2, 32 kbit/s, 22.05 kHz mono: 104-byte frames.
std::string lowRateMp3() { return mp3(std::string("\xFF\xF3\x40\xC0", 4), 104, 9, 100); }

std::string randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

TEST(SoundFile, WholeFilesPass)
{
    const std::string m = mp3();
    EXPECT_EQ(check(wav()), "");
    EXPECT_EQ(check(m), "");
    EXPECT_EQ(check(lowRateMp3()), "") << "MPEG-2 frames";
    EXPECT_EQ(check(id3(10) + m), "") << "a small ID3 tag";
    EXPECT_EQ(check(id3(600 * 1024) + m), "") << "a tag with cover art, larger than what is read at once";
    EXPECT_EQ(check(id3(100) + std::string(3000, '\0') + m), "") << "padding the tag does not count";
    EXPECT_EQ(check(riff(chunk("LIST", std::string(400 * 1024, 'x')) + wav().substr(12))), "")
        << "a big chunk before fmt";
    EXPECT_EQ(check(riff(chunk("fmt ", fmt16(1, 8000)) + chunk("data", std::string(160, '\x10')))), "") << "10 ms";
}

TEST(SoundFile, DamageIsNamed)
{
    const std::string w = wav(), m = mp3();
    const struct {
        const char* what;
        std::string content;
        std::string expect;
    } cases[] = {
        {"empty", "", "the file is empty"},
        {"WAV without its sound", w.substr(0, 44), "the WAV file is truncated"},
        {"WAV cut short", w.substr(0, 1000), "the WAV file is truncated"},
        {"WAV cut by one byte", w.substr(0, w.size() - 1), "the WAV file is truncated"},
        {"WAV with its format block cut", w.substr(0, 20), "the WAV format block is damaged"},
        {"WAV of RIFF/WAVE alone", w.substr(0, 12), "the WAV file has no format block"},
        {"WAV with data before fmt", riff(chunk("data", std::string(8000, 'x')) + chunk("fmt ", fmt16(2, 44100))),
         "the WAV file has no format block"},
        {"WAV with 0 channels", riff(chunk("fmt ", fmt16(0, 44100)) + chunk("data", std::string(8000, 'x'))),
         "the WAV format block is damaged"},
        {"WAV with empty data", riff(chunk("fmt ", fmt16(2, 44100)) + chunk("data", "")),
         "the WAV file holds (almost) no sound"},
        {"WAV of four samples", riff(chunk("fmt ", fmt16(2, 44100)) + chunk("data", std::string(16, 'x'))),
         "the WAV file holds (almost) no sound"},
        {"WAV of chunks without data", riff(chunk("fmt ", fmt16(2, 44100)) + chunk("LIST", "abcd")),
         "the WAV file is truncated"},
        {"MP3 cut in the first frame", m.substr(0, 200), "the MP3 file is truncated"},
        {"MP3 cut after one frame", m.substr(0, 600), "the MP3 file is truncated"},
        {"MP3 tag alone", id3(2000), "the MP3 file holds no sound after its tag"},
        {"MP3 tag larger than the file", id3(2000).substr(0, 500), "the MP3 file is truncated"},
        {"MP3 frames after 64 KiB of junk", std::string(70000, '\0') + m, "the file is not a WAV or MP3 file"},
        {"noise", randomBytes(4096, 7), "the file is not a WAV or MP3 file"},
        {"text", "hello", "the file is not a WAV or MP3 file"},
        {"one byte", "\xff", "the file is not a WAV or MP3 file"},
        {"a RIFF that is not WAVE", "RIFF" + le32(100) + "AVI " + std::string(100, 'x'),
         "the file is not a WAV or MP3 file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(check(c.content), c.expect) << c.what;
}

// Recorders that stream, or are stopped before they go back to the header,
// leave placeholders for the sizes: the sound runs to the end of the file,
// and the decoder is told how much that is, and how long the RIFF is. A
// real size past the end is still a cut file.
TEST(SoundFile, PlaceholderSizesRunToTheEndOfTheFile)
{
    const std::string sound(8000 * 2 / 10 + 1, '\x10');  // 0.1 s of 16-bit mono and a stray byte
    const auto withSizes = [&](std::uint32_t dataSize, std::optional<std::uint32_t> riffSize = std::nullopt) {
        std::string w = riff(chunk("fmt ", fmt16(1, 8000)) + "data" + le32(dataSize) + sound);
        if (riffSize) w.replace(4, 4, le32(*riffSize));
        return w;
    };
    constexpr std::uint64_t kDataSizeAt = 12 + 8 + 16 + 4;
    const auto whole = static_cast<std::uint32_t>(sound.size() - 1);  // whole samples only
    const auto riffSize = static_cast<std::uint32_t>(withSizes(0).size() - 8);
    const HeaderPatch data{kDataSizeAt, whole}, riffPatch{4, riffSize};
    const struct {
        const char* what;
        std::string content;
        std::string problem;
        std::vector<HeaderPatch> patches;
    } cases[] = {
        {"data 0, as a recorder stopped early leaves it", withSizes(0), "", {data}},
        {"data 0xFFFFFFFF, as streaming writers leave it", withSizes(0xFFFFFFFF), "", {data}},
        {"data 0x7FFFF000, as sox leaves it in a pipe", withSizes(0x7FFFF000), "", {data}},
        {"data 0x7FFFFFFF", withSizes(0x7FFFFFFF), "", {data}},
        {"both 0", withSizes(0, 0), "", {riffPatch, data}},
        {"both 0xFFFFFFFF", withSizes(0xFFFFFFFF, 0xFFFFFFFF), "", {riffPatch, data}},
        {"RIFF 0 alone", withSizes(whole, 0), "", {riffPatch}},
        {"the real sizes", withSizes(whole), "", {}},
        {"a real size past the end", withSizes(whole + 1000), "the WAV file is truncated", {}},
        {"RIFF 0 and a real size past the end", withSizes(whole + 1000, 0), "the WAV file is truncated", {}},
        {"0 and less than 10 ms after", withSizes(0).substr(0, 44 + 100), "the WAV file holds (almost) no sound", {}},
        {"0 and nothing after it", withSizes(0).substr(0, 44), "the WAV file holds (almost) no sound", {}},
    };
    for (const auto& c : cases) {
        const SoundCheck result =
            inspectSound(MemorySoundSource(std::vector<std::uint8_t>(c.content.begin(), c.content.end())));
        EXPECT_EQ(result.problem, c.problem) << c.what;
        ASSERT_EQ(result.patches.size(), c.patches.size()) << c.what;
        for (std::size_t i = 0; i < c.patches.size(); ++i) {
            EXPECT_EQ(result.patches[i].offset, c.patches[i].offset) << c.what;
            EXPECT_EQ(result.patches[i].value, c.patches[i].value) << c.what;
        }
    }
}

// Decoders read in pieces of any size: each piece gets what it holds of a
// patch, also of one it cuts through.
TEST(SoundFile, PatchesReachEveryPieceOfARead)
{
    const std::string file = riff(chunk("fmt ", fmt16(1, 8000)) + "data" + le32(0) + std::string(1600, '\x10'));
    const std::vector<std::uint8_t> bytes(file.begin(), file.end());
    const std::vector<HeaderPatch> patches = {{4, 0x11223344}, {40, 0xA1B2C3D4}};
    std::vector<std::uint8_t> expected = bytes;
    for (const HeaderPatch& p : patches)
        for (int i = 0; i < 4; ++i)
            expected[p.offset + i] = static_cast<std::uint8_t>(p.value >> (8 * i));
    for (std::size_t piece = 1; piece <= 9; ++piece) {
        std::vector<std::uint8_t> read;
        for (std::size_t at = 0; at < 64; at += piece) {
            std::vector<std::uint8_t> part(bytes.begin() + at, bytes.begin() + at + piece);
            applyPatches(patches, at, part);
            read.insert(read.end(), part.begin(), part.end());
        }
        EXPECT_TRUE(std::equal(read.begin(), read.begin() + 64, expected.begin())) << "pieces of " << piece;
    }
}

// Random bytes of many seeds never pass for sound, and name no damage.
TEST(SoundFile, NoiseIsNeverSound)
{
    for (unsigned seed = 0; seed < 300; ++seed)
        EXPECT_EQ(check(randomBytes(65536, seed)), "the file is not a WAV or MP3 file") << "seed " << seed;
}

// Every cut of a good file is refused, whatever its length.
TEST(SoundFile, EveryCutIsRefused)
{
    const std::string w = wav(), m = mp3();
    for (const std::string* file : {&w, &m}) {
        for (std::size_t n = 0; n < 5000; n += 7)
            EXPECT_NE(check(file->substr(0, n)), "") << n;
    }
    for (std::size_t n = 5000; n + 1 < w.size(); n += 4099)
        EXPECT_NE(check(w.substr(0, n)), "") << "WAV " << n;
    // The Info frame gives the MP3's length in bytes, so any cut shows.
    for (std::size_t n = 5000; n + 1 < m.size(); n += 97)
        EXPECT_NE(check(m.substr(0, n)), "") << "MP3 " << n;
    const std::string tagged = id3(3000) + m;
    for (std::size_t n = 3010; n + 1 < tagged.size(); n += 997)
        EXPECT_NE(check(tagged.substr(0, n)), "") << "tagged " << n;
    EXPECT_NE(check(m.substr(0, m.size() - 1)), "") << "MP3 cut by one byte";
}

// A file whose reads fail after its first bytes (a disk error, a file
// cut by another program).
class FailingSource final : public SoundSource {
public:
    explicit FailingSource(std::string content) : content_(std::move(content)) {}
    std::uint64_t size() const override { return content_.size(); }
    std::vector<std::uint8_t> read(std::uint64_t offset, std::size_t length) const override
    {
        if (offset > 0) throw SoundReadError("I/O error");
        const std::string head = content_.substr(0, length);
        return {head.begin(), head.end()};
    }

private:
    std::string content_;
};

TEST(SoundFile, AFailedReadIsNamed)
{
    EXPECT_EQ(checkSound(FailingSource(wav())), "the file cannot be read");
    EXPECT_EQ(checkSound(FailingSource(id3(100) + mp3())), "the file cannot be read");
}

TEST(SoundFile, MessagesNameTheFileReadably)
{
    // The cuts 200 bytes in and 100 from the end fall inside two-byte
    // letters: the kept ends move out of them.
    // (Built by appending: GCC 12 warns wrongly on "..." + std::string.)
    const std::string longName =
        std::string("/").append(198, 'a').append("\u00e9").append(200, 'b').append("\u00e9").append(99, 'c');
    const std::string shortened =
        std::string("cannot play '/").append(198, 'a').append("\u2026(204 bytes)\u2026").append(99, 'c') + "': why";
    const struct {
        const char* what;
        std::string name;
        std::string expect;
    } cases[] = {
        {"a plain name", "/x/alarm.wav", "cannot play '/x/alarm.wav': why"},
        {"a NUL byte", std::string("a\0b", 3), "cannot play 'a\\0b': why"},
        {"a long name", longName, shortened},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cannotPlayMessage(c.name, "why"), c.expect) << c.what;

    EXPECT_EQ(soundFileNameProblem(""), "no file is chosen");
    EXPECT_EQ(soundFileNameProblem(std::string("a.wav\0.txt", 10)), "the name holds a NUL byte");
    EXPECT_EQ(soundFileNameProblem("a.wav"), "");
    for (FileKind kind : {FileKind::Folder, FileKind::Fifo, FileKind::Device, FileKind::Socket, FileKind::Other})
        EXPECT_NE(fileKindProblem(kind), "") << static_cast<int>(kind);
    EXPECT_EQ(fileKindProblem(FileKind::Regular), "");
}

// The built-in tone is a WAV this program itself would play, loud and not
// clipped, four beeps a second.
TEST(AlarmTone, IsAPlayableWavOfFourBeepsAtMinusOneDbfs)
{
    const Tone& tone = alarmTone();
    const SoundCheck check = inspectSound(MemorySoundSource(tone.wav));
    EXPECT_EQ(check.problem, "");
    EXPECT_TRUE(check.patches.empty());

    const auto sample = [&tone](std::size_t i) {
        return static_cast<std::int16_t>(tone.wav[44 + 2 * i] | (tone.wav[45 + 2 * i] << 8));
    };
    const std::size_t samples = (tone.wav.size() - 44) / 2;
    ASSERT_EQ(samples * 1000, 22050u * static_cast<std::size_t>(tone.cycleMs));
    int peak = 0, bursts = 0;
    bool sounding = false;
    for (std::size_t i = 0; i < samples; ++i) {
        peak = std::max(peak, std::abs(int{sample(i)}));
        // A burst starts after at least 10 ms of silence.
        bool quiet = true;
        for (std::size_t k = i; k < std::min(samples, i + 220) && quiet; ++k)
            quiet = sample(k) == 0;
        if (!sounding && !quiet) ++bursts;
        sounding = !quiet;
    }
    EXPECT_NEAR(20 * std::log10(peak / 32768.0), -1.0, 0.1);
    EXPECT_EQ(bursts, 4);
    EXPECT_EQ(sample(samples - 1), 0);  // the loop joins without a click
}

}  // namespace
}  // namespace bellwick
