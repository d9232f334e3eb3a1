#include "sdl/sdl_media_player.h"

#include "posix/posix_sound_file.h"
#include "sound/sound_file.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace bellwick {

namespace {

// 1024 frames (23 ms): the device mixes its first buffer a few milliseconds
// after it opens; a sound that takes longer to load starts a buffer later.
constexpr int kFrames = 1024;
// The mixer loops its music this many times: for ever.
constexpr int kForever = -1;
// Audio, and the events by which SDL says that an opened device went away.
constexpr Uint32 kSubsystems = SDL_INIT_AUDIO | SDL_INIT_EVENTS;

std::string sdlReason(const char* error)
{
    return error && *error ? std::string(error) : std::string("SDL gave no reason");
}

[[noreturn]] void fail(const std::string& file, const std::string& why)
{
    throw PlayError(cannotPlayMessage(file, why));
}

// The opened file as SDL reads it, with a WAV's placeholder sizes read as
// the real ones. Reads by pread, so only this stream moves its offset.
struct PatchedFile {
    int fd;
    Sint64 size;
    Sint64 at = 0;
    std::vector<HeaderPatch> patches;
};

PatchedFile& fileOf(SDL_RWops* rw) { return *static_cast<PatchedFile*>(rw->hidden.unknown.data1); }

Sint64 SDLCALL fileSize(SDL_RWops* rw) { return fileOf(rw).size; }

Sint64 SDLCALL fileSeek(SDL_RWops* rw, Sint64 offset, int whence)
{
    PatchedFile& f = fileOf(rw);
    const Sint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? f.at : f.size;
    if (base + offset < 0) return SDL_SetError("seek before the start of the file");
    f.at = base + offset;
    return f.at;
}

size_t SDLCALL fileRead(SDL_RWops* rw, void* out, size_t size, size_t count)
{
    PatchedFile& f = fileOf(rw);
    if (size == 0 || count == 0 || f.at >= f.size) return 0;
    const size_t want = static_cast<size_t>(std::min<Sint64>(static_cast<Sint64>(size * count), f.size - f.at));
    auto* bytes = static_cast<std::uint8_t*>(out);
    size_t got = 0;
    while (got < want) {
        const ssize_t n = ::pread(f.fd, bytes + got, want - got, static_cast<off_t>(f.at) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SDL_SetError("%s", std::strerror(errno));
            break;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    applyPatches(f.patches, static_cast<std::uint64_t>(f.at), {bytes, got});
    f.at += static_cast<Sint64>(got);
    return got / size;
}

size_t SDLCALL fileWrite(SDL_RWops*, const void*, size_t, size_t)
{
    SDL_SetError("the sound file is read only");
    return 0;
}

int SDLCALL fileClose(SDL_RWops* rw)
{
    if (rw) {
        auto* f = static_cast<PatchedFile*>(rw->hidden.unknown.data1);
        ::close(f->fd);
        delete f;
        SDL_FreeRW(rw);
    }
    return 0;
}

// Takes fd over: it is closed with the stream, or here on failure.
SDL_RWops* streamOf(int fd, std::uint64_t size, const std::vector<HeaderPatch>& patches)
{
    SDL_RWops* rw = SDL_AllocRW();
    if (!rw) {
        ::close(fd);
        return nullptr;
    }
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->size = fileSize;
    rw->seek = fileSeek;
    rw->read = fileRead;
    rw->write = fileWrite;
    rw->close = fileClose;
    rw->hidden.unknown.data1 = new PatchedFile{fd, static_cast<Sint64>(size), 0, patches};
    return rw;
}

}  // namespace

SdlMediaPlayer::SdlMediaPlayer()
{
    // SDL's events are for its devices here; signals are the program's.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    Mix_Init(MIX_INIT_MP3);  // loads the decoder only; a missing one shows when an MP3 is loaded
}

SdlMediaPlayer::~SdlMediaPlayer()
{
    closeDevice();
    Mix_Quit();
}

void SdlMediaPlayer::openDevice()
{
    if (SDL_InitSubSystem(kSubsystems) != 0)
        throw PlayError("no sound device could be opened: " + sdlReason(SDL_GetError()));
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, kFrames) != 0) {
        const std::string why = sdlReason(Mix_GetError());
        SDL_QuitSubSystem(kSubsystems);
        throw PlayError("no sound device could be opened: " + why);
    }
    open_ = true;
}

void SdlMediaPlayer::closeDevice()
{
    if (!open_) return;
    if (music_) {
        Mix_HaltMusic();
        Mix_FreeMusic(music_);
        music_ = nullptr;
    }
    Mix_CloseAudio();                // joins the audio thread
    SDL_QuitSubSystem(kSubsystems);  // and drops the events not read
    open_ = false;
}

// SDL stops a device whose output went away (its server gone, a write
// failed) and queues an event for it; the mixer's is the only one open.
bool SdlMediaPlayer::deviceGone()
{
    bool gone = false;
    SDL_Event e;
    while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_AUDIODEVICEREMOVED, SDL_AUDIODEVICEREMOVED) > 0)
        gone = gone || !e.adevice.iscapture;
    return gone;
}

void SdlMediaPlayer::setFileName(const std::string& name)
{
    stop();
    fileName_ = name;
}

void SdlMediaPlayer::stop()
{
    sound_ = Sound::None;
    closeDevice();
}

bool SdlMediaPlayer::isPlaying() const { return open_ && Mix_PlayingMusic() != 0; }

bool SdlMediaPlayer::keepRinging()
{
    if (sound_ == Sound::None || (open_ && !deviceGone())) return true;
    // A fresh start of the audio subsystem finds a server that came back,
    // or whatever output there is now.
    closeDevice();
    try {
        if (sound_ == Sound::File)
            startFile();
        else
            startTone();
        return true;
    } catch (const PlayError&) {
        return false;
    }
}

void SdlMediaPlayer::loop(const Tone& tone)
{
    stop();
    tone_ = &tone;
    startTone();
    sound_ = Sound::Tone;
}

void SdlMediaPlayer::startTone()
{
    openDevice();
    // The tone's bytes live as long as the program.
    SDL_RWops* rw = SDL_RWFromConstMem(tone_->wav.data(), static_cast<int>(tone_->wav.size()));
    music_ = rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
    if (!music_ || Mix_PlayMusic(music_, kForever) != 0) {
        const std::string why = sdlReason(Mix_GetError());
        closeDevice();
        throw PlayError("the mixer could not play it (" + why + ")");
    }
}

void SdlMediaPlayer::play()
{
    // A fresh device for every alarm: one that went away meanwhile is not
    // played into.
    stop();
    startFile();
    sound_ = Sound::File;
}

void SdlMediaPlayer::startFile()
{
    // Only a regular file is opened, and its bytes must look like sound.
    PosixSoundFile sound(fileName_);
    if (!sound.problem().empty()) fail(fileName_, sound.problem());
    const SoundCheck check = inspectSound(sound);
    if (!check.problem.empty()) fail(fileName_, check.problem);

    openDevice();
    // The mixer takes the stream and closes it, also when loading fails.
    SDL_RWops* rw = streamOf(sound.release(), sound.size(), check.patches);
    if (!rw) {
        closeDevice();
        fail(fileName_, sdlReason(SDL_GetError()));
    }
    // Decoded here, on this thread, so a failure is play()'s to report.
    music_ = Mix_LoadMUS_RW(rw, 1);
    if (!music_) {
        const std::string why = "the decoder refused it (" + sdlReason(Mix_GetError()) + ")";
        closeDevice();
        fail(fileName_, why);
    }
    // Second line of defence behind the checks: what loaded must be the
    // WAV or MP3 the header said, with a length.
    const Mix_MusicType type = Mix_GetMusicType(music_);
    if (type != MUS_WAV && type != MUS_MP3) {
        closeDevice();
        fail(fileName_, "the decoder did not take it for WAV or MP3");
    }
#if SDL_MIXER_VERSION_ATLEAST(2, 6, 0)
    if (Mix_MusicDuration(music_) <= 0.0) {
        closeDevice();
        fail(fileName_, "the decoder found no sound in it");
    }
#endif
    if (Mix_PlayMusic(music_, kForever) != 0) {
        const std::string why = "the mixer could not start it (" + sdlReason(Mix_GetError()) + ")";
        closeDevice();
        fail(fileName_, why);
    }
}

}  // namespace bellwick
