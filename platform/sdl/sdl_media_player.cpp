#include "sdl/sdl_media_player.h"

#include "posix/posix_sound_file.h"
#include "rules/sound_file.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace bellwick {

namespace {

[[noreturn]] void fail(const std::string& file, const std::string& why)
{
    throw PlayError(cannotPlayMessage(file, why));
}

}  // namespace

SdlMediaPlayer::SdlMediaPlayer()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        deviceError_ = SDL_GetError();
        return;
    }
    Mix_Init(MIX_INIT_MP3);  // a missing MP3 decoder shows when an MP3 is loaded
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
        deviceError_ = Mix_GetError();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open_ = true;
}

SdlMediaPlayer::~SdlMediaPlayer()
{
    release();
    if (open_) {
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlMediaPlayer::release()
{
    if (!music_) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
}

void SdlMediaPlayer::setFileName(const std::string& name)
{
    release();
    fileName_ = name;
}

void SdlMediaPlayer::stop()
{
    if (open_) Mix_HaltMusic();
}

bool SdlMediaPlayer::isPlaying() const { return open_ && Mix_PlayingMusic() != 0; }

void SdlMediaPlayer::play()
{
    if (!open_) fail(fileName_, "the audio device is unavailable (" + deviceError_ + ")");
    release();

    // Only a regular file is opened, and its bytes must look like sound.
    PosixSoundFile sound(fileName_);
    if (!sound.problem().empty()) fail(fileName_, sound.problem());
    if (const std::string problem = checkSound(sound); !problem.empty()) fail(fileName_, problem);

    const int fd = sound.release();
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        fail(fileName_, std::strerror(error));
    }
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_TRUE);
    if (!rw) {
        std::fclose(file);
        fail(fileName_, SDL_GetError());
    }
    // Decoded here, on this thread, so a failure is play()'s to report.
    // Mix_LoadMUS_RW closes rw (and so the file) when it fails, too.
    music_ = Mix_LoadMUS_RW(rw, 1);
    if (!music_) fail(fileName_, std::string("the decoder refused it (") + Mix_GetError() + ")");
    // Second line of defence behind checkSound: what loaded must be the
    // WAV or MP3 the header said, with a length.
    const Mix_MusicType type = Mix_GetMusicType(music_);
    if (type != MUS_WAV && type != MUS_MP3) {
        release();
        fail(fileName_, "the decoder did not take it for WAV or MP3");
    }
#if SDL_MIXER_VERSION_ATLEAST(2, 6, 0)
    if (Mix_MusicDuration(music_) <= 0.0) {
        release();
        fail(fileName_, "the decoder found no sound in it");
    }
#endif
    if (Mix_PlayMusic(music_, 1) != 0) {  // 1: once
        const std::string why = Mix_GetError();
        release();
        fail(fileName_, why);
    }
}

}  // namespace bellwick
