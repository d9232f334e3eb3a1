#include "sdl_media_player.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

TEST(NoAudioDevice, StartsAndEveryPlayFails)
{
    SdlMediaPlayer player;
    EXPECT_FALSE(player.hasAudio());
    player.setFileName("/usr/share/sounds/alarm.wav");
    try {
        player.play();
        FAIL() << "played without a device";
    } catch (const PlayError& e) {
        EXPECT_NE(std::string(e.what()).find("no audio device"), std::string::npos) << e.what();
    }
    EXPECT_NO_THROW(player.stop());
}

}  // namespace
}  // namespace bellwick
