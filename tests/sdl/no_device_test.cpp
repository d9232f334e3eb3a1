// Run with SDL_AUDIODRIVER naming a driver that does not exist: there is no
// audio device at all.
#include "sdl/sdl_media_player.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace bellwick {
namespace {

const std::string kGood = std::string(BELLWICK_TEST_SOUNDS) + "/pcm16-mono-8k.wav";

std::string playError(SdlMediaPlayer& player)
{
    try {
        player.play();
    } catch (const PlayError& e) {
        return e.what();
    }
    return "(played)";
}

TEST(NoAudioDevice, StartsAndEveryPlayNamesTheDevice)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);  // as ctest sets it, also when run by hand
    ASSERT_TRUE(std::filesystem::exists(kGood)) << kGood;
    for (int i = 0; i < 3; ++i) {
        SdlMediaPlayer player;
        player.setFileName(kGood);
        const std::string error = playError(player);
        EXPECT_EQ(error.rfind("no sound device could be opened: ", 0), 0u) << error;
        EXPECT_NE(error.find("nonexistent"), std::string::npos) << "SDL's reason is kept: " << error;
        EXPECT_FALSE(player.holdsDevice());
        EXPECT_FALSE(player.isPlaying());
        EXPECT_NO_THROW(player.stop());
    }
}

// What the user can mend in the file is said first, device or not.
TEST(NoAudioDevice, AFileThatCannotPlayIsNamedFirst)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    SdlMediaPlayer player;
    for (const char* name : {"/usr/share/sounds/no-such-alarm.wav", "", "/dev/zero"}) {
        player.setFileName(name);
        const std::string error = playError(player);
        EXPECT_EQ(error.rfind("cannot play '", 0), 0u) << error;
    }
}

}  // namespace
}  // namespace bellwick
