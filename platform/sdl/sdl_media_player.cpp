#include "sdl/sdl_media_player.h"

#include "sdl/sound_file_check.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bellwick {

namespace {

// The name as the message shows it: a NUL (which would end what()) as \0,
// and a very long name shortened in the middle, at UTF-8 character bounds.
std::string shown(const std::string& name)
{
    constexpr std::size_t kHead = 200, kTail = 100;
    std::string s;
    for (char c : name)
        s += c == '\0' ? std::string("\\0") : std::string(1, c);
    if (s.size() <= kHead + kTail + 50) return s;
    const auto continuation = [&s](std::size_t i) { return (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80; };
    std::size_t head = kHead, tail = s.size() - kTail;
    while (head > 0 && continuation(head))
        --head;
    while (tail < s.size() && continuation(tail))
        ++tail;
    return s.substr(0, head) + "\u2026(" + std::to_string(tail - head) + " bytes)\u2026" + s.substr(tail);
}

[[noreturn]] void fail(const std::string& file, const std::string& why)
{
    throw PlayError("cannot play '" + shown(file) + "': " + why);
}

std::string whyNotOpened(int error)
{
    switch (error) {
    case ENOENT: return "no such file";
    case ENOTDIR: return "a part of the path is not a folder";
    case EACCES:
    case EPERM: return "no permission to read it";
    case ENAMETOOLONG: return "the name is too long";
    case ELOOP: return "too many symbolic links";
    default: return std::strerror(error);
    }
}

// "" for a regular file, else what it is instead.
std::string notRegular(mode_t mode)
{
    if (S_ISREG(mode)) return "";
    if (S_ISDIR(mode)) return "it is a folder, not a sound file";
    if (S_ISFIFO(mode)) return "it is a pipe (FIFO), not a sound file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a sound file";
    if (S_ISSOCK(mode)) return "it is a socket, not a sound file";
    return "it is not a regular file";
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

    if (fileName_.empty()) fail(fileName_, "no file is chosen");
    // The C calls would silently cut the name at a NUL and open another file.
    if (fileName_.find('\0') != std::string::npos) fail(fileName_, "the name holds a NUL byte");

    // Only a regular file is opened: opening a FIFO or a device could block
    // the GUI thread (or have side effects). stat() first; O_NONBLOCK and a
    // second look at the open descriptor keep a FIFO swapped in between
    // from blocking or being read.
    struct stat st {};
    if (::stat(fileName_.c_str(), &st) != 0) fail(fileName_, whyNotOpened(errno));
    if (const std::string what = notRegular(st.st_mode); !what.empty()) fail(fileName_, what);
    const int fd = ::open(fileName_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) fail(fileName_, whyNotOpened(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const std::string what = notRegular(st.st_mode);
        ::close(fd);
        fail(fileName_, what.empty() ? "it cannot be examined" : what);
    }
    if (const std::string problem = checkSoundFile(fd); !problem.empty()) {
        ::close(fd);
        fail(fileName_, problem);
    }

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
    // Second line of defence behind checkSoundFile: what loaded must be the
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
