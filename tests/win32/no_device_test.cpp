// Run by ctest with no sound device at all (ALSA configured with none), and
// again with a default device that cannot be opened (a card that is not
// there), each suite under its own: the player is still made, and what
// cannot play says why.
#include "host_paths.h"
#include "sound_paths.h"
#include "sound/alarm_tone.h"
#include "win32/win32_media_player.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

const std::string kGood = testing_win32::hostPath(BELLWICK_TEST_SOUNDS) + "\\tone.wav";

std::string toneError(Win32MediaPlayer& player)
{
    try {
        player.loop(alarmTone());
    } catch (const PlayError& e) {
        return e.what();
    }
    return "(played)";
}

TEST(NoAudioDevice, PlayFailsWithTheReason)
{
    Win32MediaPlayer player;
    player.setFileName(kGood);
    try {
        player.play();
        FAIL() << "played";
    } catch (const PlayError& e) {
        EXPECT_NE(std::string(e.what()).find("no audio output device"), std::string::npos) << e.what();
    }
    EXPECT_EQ(player.mode(), "");
}

// PlaySound would take the tone and say it plays.
TEST(UnopenableAudioDevice, TheToneFailsWithTheReason)
{
    Win32MediaPlayer player;
    const std::string error = toneError(player);
    EXPECT_EQ(error.rfind("the sound device could not be opened: ", 0), 0u) << error;
    EXPECT_FALSE(player.keepRinging());
}

}  // namespace
}  // namespace bellwick
