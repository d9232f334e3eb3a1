#include "sound_file_check.h"
#include "sound_files.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

using namespace testing_files;

std::vector<std::uint8_t> asBytes(const std::string& s) { return {s.begin(), s.end()}; }

std::string check(const std::string& content, std::uint64_t size)
{
    return checkSoundBytes(asBytes(content), size);
}

TEST(SoundFileCheck, WholeFilesPass)
{
    const std::string w = head(wav(), 1 << 20), m = head(mp3(), 1 << 20);
    EXPECT_EQ(check(w, std::filesystem::file_size(wav())), "");
    EXPECT_EQ(check(m, std::filesystem::file_size(mp3())), "");
    // An ID3 tag in front of the frames.
    std::string tagged = std::string("ID3\x04\x00\x00\x00\x00\x00\x0a", 10) + std::string(10, '\0') + m;
    EXPECT_EQ(check(tagged, tagged.size()), "");
}

TEST(SoundFileCheck, DamageIsNamed)
{
    const std::string w = head(wav(), 1 << 20), m = head(mp3(), 1 << 20);
    const struct {
        const char* what;
        std::string content;
        std::string expect;
    } cases[] = {
        {"empty", "", "the file is empty"},
        {"WAV without its sound", w.substr(0, 44), "the WAV file is truncated"},
        {"WAV cut short", w.substr(0, 1000), "the WAV file is truncated"},
        {"WAV with its format block cut", w.substr(0, 20), "the WAV format block is damaged"},
        {"MP3 cut after one frame", m.substr(0, 600), "the MP3 file is truncated"},
        {"noise", randomBytes(4096, 7), "the file is not a WAV or MP3 file"},
        {"text", "hello", "the file is not a WAV or MP3 file"},
    };
    for (const auto& c : cases) EXPECT_EQ(check(c.content, c.content.size()), c.expect) << c.what;
}

}  // namespace
}  // namespace bellwick
