// SdlMediaPlayer through SDL's disk driver: every mixed sample lands in a file
// that the test reads back. The driver opens (and empties) its file when the
// device opens, that is at each play(). Each test names its own output file
// and sets the driver before it plays, since SDL reads both when it opens.
#include "data/sound_shapes.h"
#include "sdl/module_player.h"
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
    setenv("SDL_DISKAUDIODELAY", "10", 1);  // about 2.3 times as fast as real time
    return out;
}

std::uintmax_t sizeOf(const fs::path& out)
{
    std::error_code ec;
    const std::uintmax_t n = fs::file_size(out, ec);
    return ec ? 0 : n;
}

// The loudest 16-bit sample written, from byte `from` on.
int loudest(const fs::path& out, std::size_t from = 0)
{
    std::ifstream in(out, std::ios::binary);
    std::vector<char> data((std::istreambuf_iterator<char>(in)), {});
    int loudest = 0;
    for (std::size_t i = from; i + 1 < data.size(); i += 2) {
        const int s = static_cast<std::int16_t>(static_cast<std::uint8_t>(data[i]) | data[i + 1] << 8);
        loudest = std::max(loudest, std::abs(s));
    }
    return loudest;
}

constexpr int kLoud = 4000;  // the test tones peak at about 16000

// Threads of this process that SDL runs audio on.
int audioThreads()
{
    int n = 0;
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        n += comm.rfind("SDLAudio", 0) == 0;
    }
    return n;
}

// The mixer's output: 44.1 kHz, 16-bit stereo.
constexpr std::size_t kBytesPerSecond = 44100 * 4;

// Waits (10 s at most) until sound comes out `seconds` into the output:
// past the end of a shorter file, it is playing again.
bool soundsAfter(const fs::path& out, double seconds)
{
    const auto from = static_cast<std::size_t>(seconds * kBytesPerSecond) & ~std::size_t{3};
    for (int i = 0; i < 200; ++i) {
        if (sizeOf(out) > from && loudest(out, from) > 4000) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

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
    }
    void TearDown() override { player.reset(); }

    void expectSoundFrom(const fs::path& file)
    {
        player->setFileName(file.string());
        ASSERT_NO_THROW(player->play()) << file;
        EXPECT_TRUE(player->isPlaying());
        std::this_thread::sleep_for(300ms);
        EXPECT_GT(loudest(out), kLoud) << file << " made no sound";
    }

    // Silenced: the device is given back at once, and nothing more comes out.
    void expectDeviceGivenBack(const char* what)
    {
        EXPECT_FALSE(player->holdsDevice()) << what;
        EXPECT_FALSE(player->isPlaying()) << what;
        EXPECT_EQ(audioThreads(), 0) << what;
        const std::uintmax_t size = sizeOf(out);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(sizeOf(out), size) << "written to after " << what;
    }

    fs::path out;
    std::unique_ptr<SdlMediaPlayer> player;
};

TEST_F(Player, IdleItHoldsNoDevice)
{
    EXPECT_FALSE(player->holdsDevice());
    player->setFileName(wav().string());
    player->stop();
    EXPECT_TRUE(player->keepRinging()) << "nothing is meant to ring";
    EXPECT_FALSE(player->holdsDevice());
    EXPECT_EQ(audioThreads(), 0);
    EXPECT_FALSE(fs::exists(out)) << "the device was opened";
}

TEST_F(Player, WavSoundsAndStopGivesTheDeviceBack)
{
    expectSoundFrom(wav());
    EXPECT_EQ(audioThreads(), 1);
    player->stop();
    expectDeviceGivenBack("stop()");
}

TEST_F(Player, Mp3SoundsAndANewFileNameGivesTheDeviceBack)
{
    expectSoundFrom(mp3());
    player->setFileName("\xff\xfe/nowhere.wav");
    expectDeviceGivenBack("setFileName()");
}

// The 3 s file plays again from its start, on the same device, until stopped.
TEST_F(Player, ItRingsOverAndOverUntilStopped)
{
    expectSoundFrom(wav());
    EXPECT_TRUE(soundsAfter(out, 7.0)) << "not heard a third time";
    EXPECT_TRUE(player->keepRinging());
    EXPECT_TRUE(player->holdsDevice());
    player->stop();
    expectDeviceGivenBack("stop() of a repeating sound");
    expectSoundFrom(mp3());  // the next alarm opens it again
}

// SDL's disk driver stops its device when a write fails, as its sound
// server's does when the server goes: a new output is opened, and while
// there is none keepRinging() says so.
TEST_F(Player, AnOutputLostWhileRingingIsOpenedAgain)
{
    setenv("SDL_DISKAUDIOFILE", "/dev/full", 1);
    player->setFileName(wav().string());
    ASSERT_NO_THROW(player->play());
    const fs::path later = scratch() / "output-later";
    fs::remove_all(later);
    setenv("SDL_DISKAUDIOFILE", (later / "audio.raw").c_str(), 1);
    bool lost = false;
    for (int i = 0; i < 200 && !lost; ++i) {
        lost = !player->keepRinging();
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(lost) << "the lost output was not noticed";
    EXPECT_FALSE(player->keepRinging()) << "still no output";
    fs::create_directory(later);
    EXPECT_TRUE(player->keepRinging());
    out = later / "audio.raw";
    EXPECT_TRUE(soundsAfter(out, 0.0));
    player->stop();
    expectDeviceGivenBack("stop() after the output came back");
    fs::remove_all(later);
}

TEST_F(Player, TheToneRingsOverAndOverUntilStopped)
{
    ASSERT_NO_THROW(player->loop(alarmTone()));
    EXPECT_TRUE(soundsAfter(out, 2.0 * alarmTone().cycleMs / 1000.0));
    player->setFileName(wav().string());
    expectDeviceGivenBack("a new file name");
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

// The sound server may start after the clock, or come back: the device
// that could not be opened at one alarm is found at the next.
TEST_F(Player, ADeviceMissingAtOneAlarmIsFoundAtTheNext)
{
    const fs::path later = scratch() / "not-yet";
    fs::remove_all(later);
    setenv("SDL_DISKAUDIOFILE", (later / "audio.raw").c_str(), 1);
    player->setFileName(wav().string());
    try {
        player->play();
        ADD_FAILURE() << "played without a device";
    } catch (const PlayError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("no sound device could be opened: ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("not-yet"), std::string::npos) << "SDL's reason is kept: " << e.what();
    }
    EXPECT_FALSE(player->holdsDevice());
    EXPECT_EQ(audioThreads(), 0);

    fs::create_directory(later);
    out = later / "audio.raw";
    expectSoundFrom(wav());
}

// A player made after another one opens SDL afresh.
TEST(PlayerLifetime, ALaterPlayerOpensTheDeviceAgain)
{
    requireSoundTools();
    if (::testing::Test::IsSkipped()) return;
    for (int round = 0; round < 3; ++round) {
        const fs::path out = diskAudioForThisTest("." + std::to_string(round));
        SdlMediaPlayer player;
        player.setFileName(wav().string());
        ASSERT_NO_THROW(player.play());
        std::this_thread::sleep_for(200ms);
        EXPECT_GT(loudest(out), kLoud) << "round " << round;
    }  // destroyed while playing
    EXPECT_EQ(audioThreads(), 0);
}

// ---- Files made here from the committed ones: a long tag, a name ----

struct GoodFile {
    const char* shape;
    std::function<fs::path()> path;
};

void PrintTo(const GoodFile& f, std::ostream* os) { *os << f.shape; }

fs::path committed(const char* name) { return fs::path(BELLWICK_TEST_SOUNDS) / name; }

// An ID3v2.3 tag with a cover picture of 400 KiB before the audio.
fs::path withCoverPicture()
{
    // text encoding, MIME type, picture type 3 (front cover), description
    const std::string body =
        std::string(1, '\0') + "image/jpeg" + '\0' + '\3' + "cover" + '\0' + randomBytes(400 * 1024, 9);
    std::string frame = "APIC";
    for (int shift : {24, 16, 8, 0})
        frame += static_cast<char>(body.size() >> shift);
    frame += std::string(2, '\0') + body;
    std::string tag = std::string("ID3\x03\0\0", 6);
    for (int shift : {21, 14, 7, 0})
        tag += static_cast<char>((frame.size() >> shift) & 0x7F);
    return bytes("cover.mp3", tag + frame + head(committed("cbr-mpeg1-44k-mono.mp3"), 1 << 20));
}

fs::path named(const fs::path& file, const std::string& name)
{
    const fs::path p = scratch() / name;
    fs::copy_file(file, p, fs::copy_options::overwrite_existing);
    return p;
}

const GoodFile kGoodFiles[] = {
    {"MP3 with a 400 KiB cover picture", withCoverPicture},
    {"WAV named with a space and letters beyond ASCII",
     [] { return named(committed("pcm16-mono-8k.wav"), "R\u00e9veil du matin.wav"); }},
};

class GoodFiles : public ::testing::TestWithParam<GoodFile> {};

// Each is shorter than a second: sound after 1.5 s is the file once more.
TEST_P(GoodFiles, PlayToTheEndAndAgain)
{
    const fs::path out = diskAudioForThisTest();
    SdlMediaPlayer player;
    player.setFileName(GetParam().path().string());
    ASSERT_NO_THROW(player.play());
    EXPECT_TRUE(soundsAfter(out, 1.5));
}

INSTANTIATE_TEST_SUITE_P(Table, GoodFiles, ::testing::ValuesIn(kGoodFiles),
                         [](const ::testing::TestParamInfo<GoodFile>& info) {
                             std::string n;
                             for (char c : std::string(info.param.shape))
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

// ---- The shapes every player is held to ----

using testing_sounds::Outcome;
using testing_sounds::SoundShape;
using testing_sounds::expectRefused;

class SoundShapes : public ::testing::TestWithParam<SoundShape> {};

// One that plays rings over and over (each is shorter than a second: sound
// after 1.5 s is the file once more); any other is refused at once, so that
// the alarm's message and tone take its place.
TEST_P(SoundShapes, RingOrAreRefusedAtOnce)
{
    const SoundShape& shape = GetParam();
    const fs::path out = diskAudioForThisTest();
    SdlMediaPlayer player;
    player.setFileName(committed(shape.file).string());
    if (shape.outcome == Outcome::MessageAndTone) {
        expectRefused(player);
        EXPECT_FALSE(player.holdsDevice());
        return;
    }
    ASSERT_NO_THROW(player.play());
    EXPECT_TRUE(soundsAfter(out, 1.5));
}

INSTANTIATE_TEST_SUITE_P(Table, SoundShapes, ::testing::ValuesIn(testing_sounds::kSoundShapes),
                         [](const auto& info) { return testing_sounds::testName(info.param); });

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
    }
    fs::path out;
    std::unique_ptr<SdlMediaPlayer> player;
};

TEST_P(BadFiles, FailAtOnceAndThePlayerGoesOn)
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
    // A file that blocked would hang here; the time is for the log.
    const auto took = std::chrono::steady_clock::now() - start;
    std::printf("[ timing   ] %s: %.3f ms: %.200s\n", bad.what, std::chrono::duration<double, std::milli>(took).count(),
                message.c_str());
    EXPECT_EQ(message.rfind("cannot play '", 0), 0u) << message;
    EXPECT_NE(message.find(bad.reason), std::string::npos) << message;
    EXPECT_LT(message.size(), 600u) << "a long name is shortened in the message";
    EXPECT_FALSE(player->holdsDevice());
    EXPECT_EQ(audioThreads(), 0);
    EXPECT_EQ(openDescriptors(), descriptors) << "a descriptor was left open";

    // Still plays a good file afterwards.
    player->setFileName(wav().string());
    ASSERT_NO_THROW(player->play());
    std::this_thread::sleep_for(150ms);
    EXPECT_GT(loudest(out), kLoud);
    player->stop();
}

INSTANTIATE_TEST_SUITE_P(Table, BadFiles, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string n;
                             for (char c : std::string(info.param.what))
                                 n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return n;
                         });

// The player in its module, loaded a minute ahead or by play() itself; one
// that cannot be loaded fails play() and loop() with the reason.
TEST(ModulePlayer, LoadsWhenAskedOrAtPlayAndSaysWhyItCannot)
{
    requireSoundTools();
    if (::testing::Test::IsSkipped()) return;
    const struct {
        const char* what;
        std::string module;
        bool prepare;
        const char* failure;  // nullptr: it plays
    } cases[] = {
        {"made ready", BELLWICK_TEST_PLAYER_MODULE, true, nullptr},
        {"loaded by play", BELLWICK_TEST_PLAYER_MODULE, false, nullptr},
        {"missing", (scratch() / "gone.so").string(), true, "gone.so: cannot open"},
        {"not the player", "libm.so.6", true, "libm.so.6 is not Bellwick's player"},
    };
    for (const auto& c : cases) {
        const fs::path out = diskAudioForThisTest(std::string(".") + c.what);
        ModulePlayer player(c.module);
        player.setFileName(wav().string());
        if (c.prepare) player.prepare();
        EXPECT_EQ(player.loaded(), c.prepare && !c.failure) << c.what;
        if (!c.failure) {
            ASSERT_NO_THROW(player.play()) << c.what;
            EXPECT_TRUE(soundsAfter(out, 0.1)) << c.what;
            EXPECT_TRUE(player.keepRinging()) << c.what;
            player.stop();
            continue;
        }
        for (const bool tone : {false, true}) {
            try {
                tone ? player.loop(alarmTone()) : player.play();
                ADD_FAILURE() << c.what << ": no error";
            } catch (const PlayError& e) {
                const std::string message = e.what();
                EXPECT_EQ(message.rfind("the sound player could not be loaded: ", 0), 0u) << message;
                EXPECT_NE(message.find(c.failure), std::string::npos) << message;
            }
        }
        EXPECT_FALSE(player.keepRinging()) << c.what;
        player.stop();
    }
}

}  // namespace
}  // namespace bellwick
