#pragma once
// The media player on SDL2_mixer: opens and decodes synchronously, so a file
// that cannot be played is reported by play() itself.
//
// The audio device is held only while a sound plays: play() opens it (so a
// sound server that started late, or a device that came back, is found),
// and it is closed when the sound has ended or is stopped. While idle there
// is no device and no audio thread.

#include "ports/media_player.h"

#include <chrono>
#include <optional>
#include <string>

typedef struct _Mix_Music Mix_Music;

namespace bellwick {

class SdlMediaPlayer final : public MediaPlayer {
public:
    // Opens no device: never fails.
    SdlMediaPlayer();
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    void setFileName(const std::string& name) override;
    // Throws PlayError for a file that cannot be played ("cannot play
    // '<name>': <why>") and for a device that cannot be opened ("no sound
    // device could be opened: <why>").
    void play() override;
    // The tone from memory, looped by the mixer; its device error as play()'s.
    void loop(const Tone& tone) override;
    void stop() override;

    // Closes the device once a sound has ended and its last samples have
    // had time to leave it. Cheap; to be called often from the thread that
    // plays (the window's clock tick).
    void closeWhenDone();

    // For tests and diagnostics.
    bool holdsDevice() const { return open_; }
    bool isPlaying() const;

private:
    void openDevice();
    void closeDevice();
    void release();

    std::string fileName_;
    Mix_Music* music_ = nullptr;
    bool open_ = false;
    std::optional<std::chrono::steady_clock::time_point> quietSince_;
};

}  // namespace bellwick
