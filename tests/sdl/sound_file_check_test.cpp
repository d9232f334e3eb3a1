#include "sdl/sound_file_check.h"
#include "sound_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace bellwick {
namespace {

using namespace testing_files;

std::vector<std::uint8_t> asBytes(const std::string& s) { return {s.begin(), s.end()}; }

std::string check(const std::string& content) { return checkSoundBytes(asBytes(content), content.size()); }

std::string le32(std::uint32_t v)
{
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// An ID3v2.4 tag of n bytes after its header (a syncsafe size).
std::string id3(std::size_t n)
{
    std::string t = std::string("ID3\x04\x00\x00", 6);
    t += static_cast<char>((n >> 21) & 0x7F);
    t += static_cast<char>((n >> 14) & 0x7F);
    t += static_cast<char>((n >> 7) & 0x7F);
    t += static_cast<char>(n & 0x7F);
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
    const std::uint16_t align = static_cast<std::uint16_t>(channels * 2);
    std::string f =
        std::string("\x01\x00", 2) + std::string{static_cast<char>(channels), 0} + le32(rate) + le32(rate * align);
    return f + std::string{static_cast<char>(align), 0} + std::string("\x10\x00", 2);
}

class SoundFileCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(wav()) || !std::filesystem::exists(mp3()) ||
            !std::filesystem::exists(lowRateMp3()))
            GTEST_SKIP() << "sox or lame missing (tools/deps installs them)";
        w = head(wav(), 1 << 22);
        m = head(mp3(), 1 << 22);
        low = head(lowRateMp3(), 1 << 22);
    }
    std::string w, m, low;
};

TEST_F(SoundFileCheck, WholeFilesPass)
{
    EXPECT_EQ(check(w), "");
    EXPECT_EQ(check(m), "");
    EXPECT_EQ(check(low), "") << "MPEG-2 frames";
    EXPECT_EQ(check(id3(10) + m), "") << "a small ID3 tag";
    EXPECT_EQ(check(id3(600 * 1024) + m), "") << "a tag with cover art, larger than what is read at once";
    EXPECT_EQ(check(id3(100) + std::string(3000, '\0') + m), "") << "padding the tag does not count";
    EXPECT_EQ(check(riff(chunk("LIST", std::string(400 * 1024, 'x')) + w.substr(12))), "") << "a big chunk before fmt";
    EXPECT_EQ(check(riff(chunk("fmt ", fmt16(1, 8000)) + chunk("data", std::string(160, '\x10')))), "") << "10 ms";
}

TEST_F(SoundFileCheck, ReadsTheFileBehindADescriptor)
{
    for (const auto& p : {wav(), mp3(), lowRateMp3()}) {
        const int fd = ::open(p.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(checkSoundFile(fd), "") << p;
        ::close(fd);
    }
    const auto noise = bytes("check-noise.mp3", randomBytes(300000, 3));
    const int fd = ::open(noise.c_str(), O_RDONLY);
    EXPECT_EQ(checkSoundFile(fd), "the file is not a WAV or MP3 file");
    ::close(fd);
}

TEST_F(SoundFileCheck, DamageIsNamed)
{
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

// Random bytes of many seeds never pass for sound, and name no damage.
TEST_F(SoundFileCheck, NoiseIsNeverSound)
{
    for (unsigned seed = 0; seed < 300; ++seed)
        EXPECT_EQ(check(randomBytes(65536, seed)), "the file is not a WAV or MP3 file") << "seed " << seed;
}

// Every cut of a good file is refused, whatever its length.
TEST_F(SoundFileCheck, EveryCutIsRefused)
{
    for (const std::string* file : {&w, &m}) {
        for (std::size_t n = 0; n < 5000; n += 7)
            EXPECT_NE(check(file->substr(0, n)), "") << n;
    }
    for (std::size_t n = 5000; n + 1 < w.size(); n += 4099)
        EXPECT_NE(check(w.substr(0, n)), "") << "WAV " << n;
    // LAME's Info frame gives the MP3's length in bytes, so any cut shows.
    for (std::size_t n = 5000; n + 1 < m.size(); n += 97)
        EXPECT_NE(check(m.substr(0, n)), "") << "MP3 " << n;
    const std::string tagged = id3(3000) + m;
    for (std::size_t n = 3010; n + 1 < tagged.size(); n += 997)
        EXPECT_NE(check(tagged.substr(0, n)), "") << "tagged " << n;
    EXPECT_NE(check(m.substr(0, m.size() - 1)), "") << "MP3 cut by one byte";
}

}  // namespace
}  // namespace bellwick
