#include "sdl_media_player.h"
#include "sound_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace bellwick {
namespace {

namespace fs = std::filesystem;
using namespace testing_files;
using namespace std::chrono_literals;

// SDL's disk driver writes every mixed sample into this file.
const fs::path kAudioOut = scratch() / "out.raw";
const bool kDiskAudio = [] {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", kAudioOut.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "10", 1);
    return true;
}();

std::uintmax_t outputSize() { return fs::exists(kAudioOut) ? fs::file_size(kAudioOut) : 0; }

int loudestFrom(std::uintmax_t offset)
{
    std::ifstream in(kAudioOut, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const int s = static_cast<std::int16_t>(static_cast<std::uint8_t>(data[i]) | data[i + 1] << 8);
        loudest = std::max(loudest, std::abs(s));
    }
    return loudest;
}

// The disk driver writes one buffer at a time; allow one in flight.
constexpr std::uintmax_t kOneBuffer = 2048 * 4 * 2;

class Player : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(kDiskAudio);
        if (!fs::exists(wav()) || !fs::exists(mp3())) GTEST_SKIP() << "sox or lame missing";
    }
    SdlMediaPlayer player;
};

TEST_F(Player, OpensTheDiskDevice) { EXPECT_TRUE(player.hasAudio()); }

TEST_F(Player, PlaysWavAndMp3AndStopSilencesIt)
{
    for (const fs::path& file : {wav(), mp3()}) {
        const std::uintmax_t before = outputSize();
        player.setFileName(file.string());
        ASSERT_NO_THROW(player.play()) << file;
        std::this_thread::sleep_for(400ms);
        EXPECT_GT(loudestFrom(before), 4000) << file;
        player.stop();
        std::this_thread::sleep_for(100ms);
        const std::uintmax_t stopped = outputSize();
        std::this_thread::sleep_for(300ms);
        EXPECT_GT(outputSize(), stopped) << "the device keeps running";
        EXPECT_EQ(loudestFrom(stopped + kOneBuffer), 0) << file;
    }
}

TEST_F(Player, ANewFileNameStopsPlayback)
{
    player.setFileName(wav().string());
    player.play();
    std::this_thread::sleep_for(200ms);
    player.setFileName("/nowhere/else.wav");
    std::this_thread::sleep_for(100ms);
    const std::uintmax_t renamed = outputSize();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(loudestFrom(renamed + kOneBuffer), 0);
}

TEST_F(Player, AnyNameIsAcceptedAndStopNeverFails)
{
    for (const std::string& name : {std::string(), std::string("File to play for alarm"), std::string("\xff\xfe/x.wav"),
                                   std::string(4096, 'a')}) {
        EXPECT_NO_THROW(player.setFileName(name));
        EXPECT_NO_THROW(player.stop());
    }
}

struct BadFile {
    const char* what;
    std::function<std::string()> make;  // returns the path
};

void PrintTo(const BadFile& f, std::ostream* os) { *os << f.what; }

class BadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFiles, FailQuicklyWithoutBlocking)
{
    SdlMediaPlayer player;
    const std::string path = GetParam().make();
    if (path.empty()) GTEST_SKIP() << "cannot be made here";
    player.setFileName(path);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(player.play(), PlayError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    // Still usable for a good file.
    player.setFileName(wav().string());
    EXPECT_NO_THROW(player.play());
    player.stop();
}

std::string fifo()
{
    const fs::path p = scratch() / "alarm.fifo";
    if (!fs::exists(p)) ::mkfifo(p.c_str(), 0644);
    return p.string();
}

std::string unreadable()
{
    if (::geteuid() == 0) return "";  // root reads anything
    const fs::path p = scratch() / "locked.wav";
    fs::copy_file(wav(), p, fs::copy_options::overwrite_existing);
    fs::permissions(p, fs::perms::none);
    return p.string();
}

const BadFile kBadFiles[] = {
    {"missing", [] { return (scratch() / "missing.wav").string(); }},
    {"directory", [] { return scratch().string(); }},
    {"empty", [] { return bytes("empty.wav", "").string(); }},
    {"WAV header only", [] { return bytes("header.wav", head(wav(), 44)).string(); }},
    {"WAV cut at 100 bytes", [] { return bytes("cut.wav", head(wav(), 100)).string(); }},
    {"WAV cut in the middle", [] { return bytes("half.wav", head(wav(), 200000)).string(); }},
    {"MP3 cut at 200 bytes", [] { return bytes("cut.mp3", head(mp3(), 200)).string(); }},
    {"random bytes named .mp3", [] { return bytes("noise.mp3", randomBytes(65536, 1)).string(); }},
    {"random bytes named .wav", [] { return bytes("noise.wav", randomBytes(65536, 2)).string(); }},
    {"text named .mp3", [] { return bytes("notes.mp3", "just some notes\n").string(); }},
    {"FIFO", fifo},
    {"/dev/zero", [] { return std::string("/dev/zero"); }},
    {"/dev/null", [] { return std::string("/dev/null"); }},
    {"no read permission", unreadable},
    {"non-UTF-8 name", [] { return (scratch() / "\xff\xfe.wav").string(); }},
    {"4 KiB path", [] { return (scratch() / std::string(4096, 'x')).string(); }},
};

INSTANTIATE_TEST_SUITE_P(Table, BadFiles, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string n;
                             for (char c : std::string(info.param.what)) n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

}  // namespace
}  // namespace bellwick
