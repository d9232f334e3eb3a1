// Run with SDL_AUDIODRIVER naming a driver that does not exist: there is no
// audio device at all.
#include "sdl/sdl_media_player.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace bellwick {
namespace {

TEST(NoAudioDevice, StartsAndEveryPlayFails)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);  // as ctest sets it, also when run by hand
    SdlMediaPlayer player;
    EXPECT_FALSE(player.hasAudio());
    for (const char* name : {"/usr/share/sounds/alarm.wav", "", "\xff\xfe.mp3", "/dev/zero"}) {
        EXPECT_NO_THROW(player.setFileName(name));
        try {
            player.play();
            ADD_FAILURE() << "played without a device";
        } catch (const PlayError& e) {
            EXPECT_NE(std::string(e.what()).find("the audio device is unavailable"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(player.isPlaying());
        EXPECT_NO_THROW(player.stop());
    }
}

TEST(NoAudioDevice, AnotherPlayerFailsTheSameWay)
{
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    for (int i = 0; i < 3; ++i) {
        SdlMediaPlayer player;
        EXPECT_FALSE(player.hasAudio());
        EXPECT_THROW(player.play(), PlayError);
    }
}

}  // namespace
}  // namespace bellwick
