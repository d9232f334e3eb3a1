// Without any sound device (ALSA configured with none) the player is still
// made, and play() says why nothing can play.
#include "host_paths.h"
#include "sound_paths.h"
#include "win32/win32_media_player.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

TEST(NoAudioDevice, PlayFailsWithTheReason)
{
    Win32MediaPlayer player;
    player.setFileName(testing_win32::hostPath(BELLWICK_TEST_SOUNDS) + "\\tone.wav");
    try {
        player.play();
        FAIL() << "played";
    } catch (const PlayError& e) {
        EXPECT_NE(std::string(e.what()).find("no audio output device"), std::string::npos) << e.what();
    }
    EXPECT_EQ(player.mode(), "");
}

}  // namespace
}  // namespace bellwick
