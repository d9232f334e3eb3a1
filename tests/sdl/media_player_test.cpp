// SdlMediaPlayer through SDL's disk driver: every mixed sample lands in a file
// that the test reads back. Each test names its own output file and sets the
// driver before it makes a player, since SDL reads both when it opens audio.
#include "sdl/sdl_media_player.h"
#include "sound_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace bellwick {
namespace {

namespace fs = std::filesystem;
using namespace testing_files;
using namespace std::chrono_literals;

// The device buffer is 2048 frames of 16-bit stereo. After stop() one buffer
// may already be mixed and not yet written, and the driver's stdio buffer may
// hold up to one more unwritten: three buffers of allowance.
constexpr std::uintmax_t kBuffer = 2048 * 2 * 2;
constexpr std::uintmax_t kAllowance = 3 * kBuffer;

// Points the disk driver at a fresh file named after the running test.
fs::path diskAudioForThisTest(const std::string& suffix = "")
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name() + suffix;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.') c = '_';
    const fs::path out = scratch() / (name + ".raw");
    fs::remove(out);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "10", 1);  // about 4.6 times as fast as real time
    return out;
}

std::uintmax_t sizeOf(const fs::path& out)
{
    std::error_code ec;
    const std::uintmax_t n = fs::file_size(out, ec);
    return ec ? 0 : n;
}

// The loudest 16-bit sample written from offset on (rounded to a frame).
int loudestFrom(const fs::path& out, std::uintmax_t offset)
{
    std::ifstream in(out, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset & ~std::uintmax_t(3)));
    std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
    int loudest = 0;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const int s = static_cast<std::int16_t>(static_cast<std::uint8_t>(data[i]) | data[i + 1] << 8);
        loudest = std::max(loudest, std::abs(s));
    }
    return loudest;
}

constexpr int kLoud = 4000;  // the test tones peak at about 16000

void requireSoundTools()
{
    if (!fs::exists(wav()) || !fs::exists(mp3())) GTEST_SKIP() << "sox or lame missing (tools/deps installs them)";
}

class Player : public ::testing::Test {
protected:
    void SetUp() override
    {
        requireSoundTools();
        if (IsSkipped()) return;
        out = diskAudioForThisTest();
        player = std::make_unique<SdlMediaPlayer>();
        ASSERT_TRUE(player->hasAudio()) << "the disk driver did not open";
    }
    void TearDown() override { player.reset(); }

    // Plays for a while and checks sound came out, from where the file ended.
    void expectSoundFrom(const fs::path& file)
    {
        const std::uintmax_t before = sizeOf(out);
        player->setFileName(file.string());
        ASSERT_NO_THROW(player->play()) << file;
        EXPECT_TRUE(player->isPlaying());
        std::this_thread::sleep_for(300ms);
        EXPECT_GT(loudestFrom(out, before), kLoud) << file << " made no sound";
    }

    // After silencing: the device goes on writing, and all of it is silent.
    void expectSilenceAfter(std::uintmax_t silenced, const char* what)
    {
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(player->isPlaying()) << what;
        EXPECT_GT(sizeOf(out), silenced + kAllowance + 4 * kBuffer) << "the device stopped writing";
        EXPECT_EQ(loudestFrom(out, silenced + kAllowance), 0) << "sound after " << what;
    }

    fs::path out;
    std::unique_ptr<SdlMediaPlayer> player;
};

TEST_F(Player, WavSoundsAndStopSilencesIt)
{
    expectSoundFrom(wav());
    player->stop();
    expectSilenceAfter(sizeOf(out), "stop()");
}

TEST_F(Player, Mp3SoundsAndStopSilencesIt)
{
    expectSoundFrom(mp3());
    player->stop();
    expectSilenceAfter(sizeOf(out), "stop()");
}

TEST_F(Player, ANewFileNameSilencesIt)
{
    expectSoundFrom(wav());
    player->setFileName(mp3().string());
    expectSilenceAfter(sizeOf(out), "setFileName()");
}

TEST_F(Player, AnOddFileNameWhilePlayingSilencesIt)
{
    expectSoundFrom(mp3());
    player->setFileName("\xff\xfe/nowhere.wav");
    expectSilenceAfter(sizeOf(out), "setFileName(non-UTF-8)");
}

TEST_F(Player, PlayAgainStartsOverAndPlaysOnce)
{
    expectSoundFrom(wav());
    expectSoundFrom(wav());  // the first music object is halted and freed
    // The 3 s tone runs out (at 4.6 times real time) and nothing loops.
    for (int i = 0; i < 40 && player->isPlaying(); ++i)
        std::this_thread::sleep_for(100ms);
    ASSERT_FALSE(player->isPlaying()) << "still playing after 4 s";
    expectSilenceAfter(sizeOf(out), "the end of the sound");
}

TEST_F(Player, AnyNameIsAcceptedAndStopNeverFails)
{
    const std::string names[] = {
        "",
        "File to play for alarm",
        "\xff\xfe/x.wav",
        std::string(4096, 'a'),
        std::string("a\0b", 3),
        "/dev/zero",
        scratch().string(),
        "~/sounds/../../etc/passwd",
        "\n\t ",
    };
    EXPECT_NO_THROW(player->stop());
    for (const std::string& name : names) {
        EXPECT_NO_THROW(player->setFileName(name));
        EXPECT_NO_THROW(player->stop());
        EXPECT_NO_THROW(player->stop());
        EXPECT_FALSE(player->isPlaying());
    }
}

// SDL is opened and closed once per player: a later player in the same
// process opens the device again, with the output file it is given then.
TEST(PlayerLifetime, ASecondPlayerOpensTheDeviceAgain)
{
    requireSoundTools();
    if (::testing::Test::IsSkipped()) return;
    for (int round = 0; round < 3; ++round) {
        const fs::path out = diskAudioForThisTest("." + std::to_string(round));
        SdlMediaPlayer player;
        ASSERT_TRUE(player.hasAudio()) << "round " << round;
        player.setFileName(wav().string());
        ASSERT_NO_THROW(player.play());
        std::this_thread::sleep_for(200ms);
        EXPECT_GT(loudestFrom(out, 0), kLoud) << "round " << round;
    }  // destroyed while playing
}

// A failed start leaves SDL as it was: a later player opens the device.
// (sdl_nodevice_tests covers the no-device case in a process of its own.)
TEST(PlayerLifetime, AfterNoDeviceALaterPlayerOpensOne)
{
    requireSoundTools();
    if (::testing::Test::IsSkipped()) return;
    const fs::path out = diskAudioForThisTest();
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    {
        SdlMediaPlayer none;
        EXPECT_FALSE(none.hasAudio());
        none.setFileName(wav().string());
        EXPECT_THROW(none.play(), PlayError);
    }
    setenv("SDL_AUDIODRIVER", "disk", 1);
    SdlMediaPlayer player;
    ASSERT_TRUE(player.hasAudio());
    player.setFileName(wav().string());
    ASSERT_NO_THROW(player.play());
    std::this_thread::sleep_for(200ms);
    EXPECT_GT(loudestFrom(out, 0), kLoud);
}

int openDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// ---- Files that cannot be played ----

struct BadFile {
    const char* what;
    std::function<std::string()> make;  // returns the path; "" skips a row that has a skipWhy
    const char* reason;                 // part of what() that says why
    const char* skipWhy = "";
};

void PrintTo(const BadFile& f, std::ostream* os) { *os << f.what; }

std::string fifo()
{
    const fs::path p = scratch() / "alarm.fifo";
    if (!fs::exists(p)) ::mkfifo(p.c_str(), 0644);
    return p.string();
}

std::string unreadable()
{
    if (::geteuid() == 0) return "";
    const fs::path p = scratch() / "locked.wav";
    fs::copy_file(wav(), p, fs::copy_options::overwrite_existing);
    fs::permissions(p, fs::perms::none);
    return p.string();
}

// A whole RIFF WAVE file whose format tag no decoder knows.
std::string unknownEncoding()
{
    std::string w = head(wav(), 1 << 20);
    w[20] = '\x34';
    w[21] = '\x12';
    return bytes("unknown.wav", w).string();
}

const BadFile kBadFiles[] = {
    {"missing", [] { return (scratch() / "missing.wav").string(); }, "no such file"},
    {"empty name", [] { return std::string(); }, "no file is chosen"},
    {"directory", [] { return scratch().string(); }, "folder"},
    {"empty", [] { return bytes("empty.wav", "").string(); }, "empty"},
    {"WAV header only", [] { return bytes("header.wav", head(wav(), 44)).string(); }, "truncated"},
    {"WAV cut at 100 bytes", [] { return bytes("cut.wav", head(wav(), 100)).string(); }, "truncated"},
    {"WAV cut in the middle", [] { return bytes("half.wav", head(wav(), 200000)).string(); }, "truncated"},
    {"WAV in an unknown encoding", unknownEncoding, "decoder"},
    {"MP3 cut at 200 bytes", [] { return bytes("cut.mp3", head(mp3(), 200)).string(); }, "truncated"},
    {"random bytes named .mp3", [] { return bytes("noise.mp3", randomBytes(65536, 1)).string(); }, "not a WAV or MP3"},
    {"random bytes named .wav", [] { return bytes("noise.wav", randomBytes(65536, 2)).string(); }, "not a WAV or MP3"},
    {"text named .mp3", [] { return bytes("notes.mp3", "just some notes\n").string(); }, "not a WAV or MP3"},
    {"FIFO nobody writes to", fifo, "pipe"},
    {"/dev/zero", [] { return std::string("/dev/zero"); }, "device"},
    {"/dev/null", [] { return std::string("/dev/null"); }, "device"},
    {"mode 000", unreadable, "permission", "running as root, which reads files whatever their permission bits"},
    {"non-UTF-8 name of a missing file", [] { return (scratch() / "\xff\xfe.wav").string(); }, "no such file"},
    {"4 KiB path", [] { return (scratch() / std::string(4096, 'x')).string(); }, "too long"},
    {"name with a NUL byte after a good file's", [] { return wav().string() + std::string("\0.txt", 5); }, "NUL"},
};

class BadFiles : public ::testing::TestWithParam<BadFile> {
protected:
    void SetUp() override
    {
        requireSoundTools();
        if (IsSkipped()) return;
        out = diskAudioForThisTest();
        player = std::make_unique<SdlMediaPlayer>();
        ASSERT_TRUE(player->hasAudio());
    }
    fs::path out;
    std::unique_ptr<SdlMediaPlayer> player;
};

TEST_P(BadFiles, FailWithinATenthOfASecondAndThePlayerGoesOn)
{
    const BadFile& bad = GetParam();
    const std::string path = bad.make();
    if (path.empty() && *bad.skipWhy) GTEST_SKIP() << bad.skipWhy;
    const int descriptors = openDescriptors();

    player->setFileName(path);
    const auto start = std::chrono::steady_clock::now();
    std::string message;
    try {
        player->play();
        ADD_FAILURE() << "play() did not throw";
    } catch (const PlayError& e) {
        message = e.what();
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 100ms) << "play() took too long to fail";
    std::printf("[ timing   ] %s: %.3f ms: %.200s\n", bad.what, std::chrono::duration<double, std::milli>(took).count(),
                message.c_str());
    EXPECT_EQ(message.rfind("cannot play '", 0), 0u) << message;
    EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
    EXPECT_LT(message.size(), 600u) << "a long name is shortened in the message";
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(openDescriptors(), descriptors) << "a descriptor was left open";

    // Still plays a good file afterwards.
    const std::uintmax_t before = sizeOf(out);
    player->setFileName(wav().string());
    ASSERT_NO_THROW(player->play());
    std::this_thread::sleep_for(150ms);
    EXPECT_GT(loudestFrom(out, before), kLoud);
    player->stop();
}

INSTANTIATE_TEST_SUITE_P(Table, BadFiles, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string n;
                             for (char c : std::string(info.param.what))
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

}  // namespace
}  // namespace bellwick
