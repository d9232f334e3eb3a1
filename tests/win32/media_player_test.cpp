// Win32MediaPlayer on Wine's MCI. ALSA_CONFIG_PATH points Wine's default
// sound device at a WAV file (over the null device), rewritten at every
// device open; each test that plays reads it back. The sound files come
// from sox and lame at build time (tests/win32/CMakeLists.txt).
#include "host_paths.h"
#include "sound_paths.h"
#include "win32/win32_media_player.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <ostream>
#include <random>

namespace bellwick {
namespace {

using testing_win32::hostPath;

const std::string kSounds = hostPath(BELLWICK_TEST_SOUNDS);
const std::string kCaptured = hostPath(BELLWICK_TEST_CAPTURE);

// Lets the notice of a finished play arrive; true once the device is closed.
bool waitUntilClosed(Win32MediaPlayer& player)
{
    for (int i = 0; i < 3000 && !player.mode().empty(); ++i) {  // at most about a minute
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&m);
        Sleep(20);
    }
    return player.mode().empty();
}

// The loudest 16-bit sample that reached the sound device.
int loudestCaptured()
{
    const std::string wav = testing_win32::readFile(kCaptured);
    int loudest = 0;
    for (std::size_t i = 44; i + 1 < wav.size(); i += 2) {
        const int s = static_cast<std::int16_t>(static_cast<std::uint8_t>(wav[i]) | wav[i + 1] << 8);
        loudest = std::max(loudest, std::abs(s));
    }
    return loudest;
}

constexpr int kLoud = 4000;  // the test tones peak at about 16000

struct Playable {
    const char* name;
    std::string file;
};

void PrintTo(const Playable& c, std::ostream* os) { *os << c.name; }

class PlayerPlays : public ::testing::TestWithParam<Playable> {};

TEST_P(PlayerPlays, SoundReachesTheDeviceWhichIsClosedAfterwards)
{
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    Win32MediaPlayer player;
    player.setFileName(GetParam().file);
    player.play();
    EXPECT_EQ(player.mode(), "playing");
    EXPECT_TRUE(waitUntilClosed(player)) << "still " << player.mode();
    EXPECT_GT(loudestCaptured(), kLoud);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlayerPlays,
    ::testing::Values(Playable{"Wav", kSounds + "\\tone.wav"}, Playable{"Mp3", kSounds + "\\tone.mp3"},
                      // Longer than MAX_PATH, with spaces and non-ASCII.
                      Playable{"LongNonAsciiPath", hostPath(BELLWICK_TEST_LONG_FOLDER) + "\\t\xC3\xB6n e.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Player, StopAndANewFileNameEndPlayback)
{
    Win32MediaPlayer player;
    player.setFileName(kSounds + "\\tone.mp3");
    player.play();
    player.stop();
    EXPECT_EQ(player.mode(), "");
    player.play();
    ASSERT_EQ(player.mode(), "playing");
    player.setFileName(kSounds + "\\tone.wav");
    EXPECT_EQ(player.mode(), "");
    player.stop();  // nothing plays: no failure
}

TEST(Player, PlaysAgainAfterAPlayHasEnded)
{
    Win32MediaPlayer player;
    player.setFileName(kSounds + "\\tone.wav");
    player.play();
    ASSERT_TRUE(waitUntilClosed(player));
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    player.play();
    EXPECT_EQ(player.mode(), "playing");
    EXPECT_TRUE(waitUntilClosed(player));
    EXPECT_GT(loudestCaptured(), kLoud);
}

// --- files that cannot be played ---

struct Unplayable {
    const char* name;
    std::string file;
    std::optional<std::string> content;  // written to file first
    std::string reason;
};

void PrintTo(const Unplayable& c, std::ostream* os) { *os << c.name; }

std::string randomBytes(std::size_t n)
{
    std::mt19937 gen(7);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

std::string head(const std::string& file, std::size_t n) { return testing_win32::readFile(file).substr(0, n); }

class PlayerRefuses : public ::testing::TestWithParam<Unplayable> {};

TEST_P(PlayerRefuses, WithItsReasonAtOnceAndHoldsNoDevice)
{
    const Unplayable& c = GetParam();
    if (c.content) testing_win32::writeFile(c.file, *c.content);
    Win32MediaPlayer player;
    player.setFileName(c.file);
    const auto start = std::chrono::steady_clock::now();
    try {
        player.play();
        FAIL() << "played";
    } catch (const PlayError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find(c.reason), std::string::npos) << what;
        EXPECT_EQ(what.rfind("cannot play '", 0), 0u) << what;
    }
    std::cout << c.name << " refused after "
              << std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() << " ms\n";
    EXPECT_EQ(player.mode(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlayerRefuses,
    ::testing::Values(Unplayable{"NoName", "", std::nullopt, "no file is chosen"},
                      Unplayable{"Missing", kSounds + "\\missing.wav", std::nullopt, "no such file"},
                      Unplayable{"MissingFolder", kSounds + "\\nowhere\\a.wav", std::nullopt, "no such file"},
                      Unplayable{"Folder", kSounds, std::nullopt, "it is a folder"},
                      Unplayable{"Fifo", kSounds + "\\fifo.wav", std::nullopt, "pipe (FIFO)"},
                      Unplayable{"Device", "NUL", std::nullopt, "it is a device"},
                      Unplayable{"Empty", kSounds + "\\empty.wav", std::string(), "the file is empty"},
                      // MCI "plays" these as silence.
                      Unplayable{"RandomBytesMp3", kSounds + "\\random.mp3", randomBytes(20000), "not a WAV or MP3"},
                      Unplayable{"TruncatedWav", kSounds + "\\cut.wav", head(kSounds + "\\tone.wav", 5000),
                                 "truncated"},
                      // Would end the MCI command's quoted name.
                      Unplayable{"QuoteInName", kSounds + "\\a\" alias x.wav", std::nullopt, "quotation mark"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
