// Win32MediaPlayer on Wine's MCI. ALSA_CONFIG_PATH points Wine's default
// sound device at a WAV file (over the null device), rewritten at every
// device open; each test that plays reads it back. The sound files come
// from sox and lame at build time (tests/win32/CMakeLists.txt).
#include "data/sound_shapes.h"
#include "host_paths.h"
#include "sound_paths.h"
#include "sound/alarm_tone.h"
#include "win32/win32_media_player.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <iostream>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <utility>

namespace bellwick {
namespace {

using testing_win32::hostPath;

const std::string kSounds = hostPath(BELLWICK_TEST_SOUNDS);
const std::string kCaptured = hostPath(BELLWICK_TEST_CAPTURE);

void dispatchPending()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&m);
}

// Dispatches messages (MCI's notices among them) until done() holds; false
// if it does not within about two minutes. Wine's first open of a float
// WAV's device has taken up to 40 s here.
template <class Done>
bool pumpUntil(Done done)
{
    for (int i = 0; i < 2400; ++i) {
        dispatchPending();
        if (done()) return true;
        Sleep(50);
    }
    return false;
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

// Each play opens the device anew, which empties the capture until the
// sound reaches it again: the loudest of every look, not only of the last.
class Loudest {
public:
    int operator()() { return best_ = std::max(best_, loudestCaptured()); }

private:
    int best_ = 0;
};

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
}

// Seconds of sound in the capture since the device was last opened.
double capturedSeconds()
{
    const std::string wav = testing_win32::readFile(kCaptured);
    if (wav.size() <= 44 || le32(wav, 28) == 0) return 0;
    return static_cast<double>(wav.size() - 44) / le32(wav, 28);
}

// ALSA writes the data size into the header when it closes the file.
bool captureClosed()
{
    const std::string wav = testing_win32::readFile(kCaptured);
    return wav.size() > 44 && le32(wav, 40) == wav.size() - 44;
}

constexpr int kLoud = 4000;  // the test tones peak at about 16000

// A WAV of silence, 44.1 kHz 16-bit stereo, removed again at the end.
class SilentWav {
public:
    SilentWav(std::string path, int seconds) : path_(std::move(path))
    {
        const std::uint32_t data = static_cast<std::uint32_t>(seconds) * 176400;
        std::string w;
        const auto put = [&w](std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                w += static_cast<char>(v >> (8 * i));
        };
        w += "RIFF";
        put(36 + data, 4);
        w += "WAVEfmt ";
        put(16, 4);
        put(1, 2);  // PCM
        put(2, 2);
        put(44100, 4);
        put(176400, 4);
        put(4, 2);
        put(16, 2);
        w += "data";
        put(data, 4);
        w.append(data, '\0');
        testing_win32::writeFile(path_, w);
    }
    ~SilentWav() { DeleteFileW(win32::toUtf16(path_).c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct Playable {
    const char* name;
    std::string file;
};

void PrintTo(const Playable& c, std::ostream* os) { *os << c.name; }

class PlayerPlays : public ::testing::TestWithParam<Playable> {};

// Each replay of a WAV opens the device again, which rewrites the capture:
// loud samples after the third play has begun are the replays' own.
TEST_P(PlayerPlays, OverAndOverUntilStopped)
{
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    Win32MediaPlayer player;
    player.setFileName(GetParam().file);
    player.play();
    EXPECT_EQ(player.mode(), "playing");
    Loudest loudest;
    EXPECT_TRUE(pumpUntil([&] { return player.plays() >= 3 && loudest() > kLoud; }))
        << player.plays() << " plays, loudest " << loudest();
    EXPECT_TRUE(player.keepRinging());
    player.stop();
    EXPECT_EQ(player.mode(), "");
    EXPECT_FALSE(player.keepRinging());
    EXPECT_EQ(player.mode(), "") << "opened again";
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
    EXPECT_FALSE(player.keepRinging());
    player.stop();  // nothing plays: no failure
}

// The sound output goes away while a WAV rings (ALSA's configuration, which
// it reads again when the file changes, names a card that does not exist)
// and comes back: keepRinging() says so and rings on by itself.
class AlsaConfig {
public:
    AlsaConfig()
    {
        wchar_t name[MAX_PATH] = {};
        GetEnvironmentVariableW(L"ALSA_CONFIG_PATH", name, MAX_PATH);
        path_ = hostPath(win32::toUtf8(name));
        saved_ = testing_win32::readFile(path_);
    }
    ~AlsaConfig() { restore(); }
    bool valid() const { return !saved_.empty(); }
    void restore() const { write(saved_); }
    // A new file (a new inode), so ALSA sees the change.
    void write(const std::string& text) const
    {
        testing_win32::writeFile(path_ + ".new", text);
        MoveFileExW(win32::toUtf16(path_ + ".new").c_str(), win32::toUtf16(path_).c_str(), MOVEFILE_REPLACE_EXISTING);
    }

private:
    std::string path_, saved_;
};

class PlayerRingsOn : public ::testing::TestWithParam<Playable> {};

TEST_P(PlayerRingsOn, WhenTheOutputComesBack)
{
    const AlsaConfig config;
    ASSERT_TRUE(config.valid());
    Win32MediaPlayer player;
    player.setFileName(GetParam().file);
    player.play();
    ASSERT_TRUE(pumpUntil([&] { return player.plays() >= 2; }));
    config.write("pcm.!default { type hw card 57 }\n");
    EXPECT_TRUE(pumpUntil([&] { return !player.keepRinging(); })) << "rings without an output";
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    config.restore();
    Loudest loudest;
    EXPECT_TRUE(pumpUntil([&] { return player.keepRinging() && loudest() > kLoud; }));
    player.stop();
}

// The corrected WAV is opened again after the failure as it was at first.
INSTANTIATE_TEST_SUITE_P(
    Files, PlayerRingsOn,
    ::testing::Values(Playable{"Wav", kSounds + "\\tone.wav"},
                      Playable{"WavWithPlaceholderSizes",
                               hostPath(BELLWICK_TEST_SHAPES) + "\\size-placeholder-ffffffff-8k.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

// The built-in tone loops on one open device, past its first second, until
// it is stopped; the device is closed then.
TEST(Player, LoopsTheToneUntilStopped)
{
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    Win32MediaPlayer player;
    player.loop(alarmTone());
    EXPECT_TRUE(pumpUntil([&] { return capturedSeconds() > 3.0 * alarmTone().cycleMs / 1000; }))
        << capturedSeconds() << " s";
    EXPECT_TRUE(player.keepRinging());
    player.stop();
    EXPECT_FALSE(player.keepRinging());
    EXPECT_TRUE(pumpUntil(captureClosed));
}

// The notice of a play that has ended waits in the queue while the player
// is stopped, given a new name or made to play another file: it starts
// nothing. The new play's file lasts long enough (20 s of sound, some 10 s
// under Wine) not to have ended by itself meanwhile.
struct StaleNotice {
    const char* name;
    void (*meanwhile)(Win32MediaPlayer&, const std::string& other);
    const char* mode;  // afterwards
};

void PrintTo(const StaleNotice& c, std::ostream* os) { *os << c.name; }

class PlayerIgnores : public ::testing::TestWithParam<StaleNotice> {};

TEST_P(PlayerIgnores, TheNoticeOfAnEarlierPlay)
{
    const SilentWav other(kSounds + "\\silent.wav", 20);
    Win32MediaPlayer player;
    player.setFileName(kSounds + "\\tone.wav");
    player.play();
    // Waits for the notice without taking it.
    MSG notice{};
    for (int i = 0; i < 1200 && !PeekMessageW(&notice, nullptr, MM_MCINOTIFY, MM_MCINOTIFY, PM_NOREMOVE); ++i)
        Sleep(50);
    ASSERT_EQ(notice.message, static_cast<UINT>(MM_MCINOTIFY)) << "no notice";
    ASSERT_EQ(notice.wParam, static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
    GetParam().meanwhile(player, other.path());
    dispatchPending();
    EXPECT_EQ(player.mode(), GetParam().mode);
    EXPECT_EQ(player.plays(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Meanwhile, PlayerIgnores,
    ::testing::Values(StaleNotice{"Stop", [](Win32MediaPlayer& p, const std::string&) { p.stop(); }, ""},
                      StaleNotice{"NewName", [](Win32MediaPlayer& p, const std::string& o) { p.setFileName(o); }, ""},
                      StaleNotice{"NewPlay",
                                  [](Win32MediaPlayer& p, const std::string& o) {
                                      p.setFileName(o);
                                      p.play();
                                  },
                                  "playing"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- the shapes every player is held to ---

using testing_sounds::Outcome;
using testing_sounds::SoundShape;
using testing_sounds::expectRefused;

class SoundShapes : public ::testing::TestWithParam<SoundShape> {};

// One that plays rings with its own sound, over and over; any other is
// refused at once, so that the alarm's message and tone take its place.
TEST_P(SoundShapes, RingOrAreRefusedAtOnce)
{
    const SoundShape& shape = GetParam();
    DeleteFileW(win32::toUtf16(kCaptured).c_str());
    Win32MediaPlayer player;
    player.setFileName(hostPath(BELLWICK_TEST_SHAPES) + "\\" + shape.file);
    if (shape.outcome == Outcome::MessageAndTone) {
        expectRefused(player);
        EXPECT_EQ(player.mode(), "");
        return;
    }
    ASSERT_NO_THROW(player.play());
    Loudest loudest;
    EXPECT_TRUE(pumpUntil([&] { return player.plays() >= 3 && loudest() > kLoud; }))
        << player.plays() << " plays, loudest " << loudest();
    player.stop();
    EXPECT_EQ(player.mode(), "");
}

INSTANTIATE_TEST_SUITE_P(Table, SoundShapes, ::testing::ValuesIn(testing_sounds::kSoundShapes),
                         [](const auto& info) { return testing_sounds::testName(info.param); });

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
