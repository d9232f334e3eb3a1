// The player's module: SDL2_mixer and what it brings are loaded into the
// program only when an alarm draws near (see module_player.h).
#include "sdl/sdl_media_player.h"

extern "C" __attribute__((visibility("default"))) bellwick::MediaPlayer* bellwick_make_player()
{
    return new bellwick::SdlMediaPlayer();
}
