#include "sdl_media_player.h"

#include "sound_file_check.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bellwick {

namespace {

[[noreturn]] void fail(const std::string& file, const std::string& why)
{
    throw PlayError("cannot play '" + file + "': " + why);
}

}  // namespace

SdlMediaPlayer::SdlMediaPlayer()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        deviceError_ = SDL_GetError();
        return;
    }
    Mix_Init(MIX_INIT_MP3);
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

void SdlMediaPlayer::play()
{
    if (!open_) fail(fileName_, "no audio device (" + deviceError_ + ")");
    release();

    // Only a regular file is opened: a FIFO or a device could block the
    // GUI thread. O_NONBLOCK keeps even a swapped-in FIFO from blocking.
    const int fd = ::open(fileName_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) fail(fileName_, std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(fileName_, "not a regular file");
    }
    const std::string problem = checkSoundFile(fd);
    if (!problem.empty()) {
        ::close(fd);
        fail(fileName_, problem);
    }
    ::lseek(fd, 0, SEEK_SET);
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        fail(fileName_, std::strerror(errno));
    }
    SDL_RWops* rw = SDL_RWFromFP(file, SDL_TRUE);
    if (!rw) {
        std::fclose(file);
        fail(fileName_, SDL_GetError());
    }
    music_ = Mix_LoadMUS_RW(rw, 1);
    if (!music_) fail(fileName_, Mix_GetError());
    if (Mix_PlayMusic(music_, 1) != 0) {
        const std::string why = Mix_GetError();
        release();
        fail(fileName_, why);
    }
}

}  // namespace bellwick
