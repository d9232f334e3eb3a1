#pragma once
// The media player on SDL2_mixer: opens and decodes synchronously, so a file
// that cannot be played is reported by play() itself.
//
// The audio device is held only while a sound rings: play() opens it (so a
// sound server that started late, or a device that came back, is found),
// and stop() or a new file name closes it. The mixer loops the sound. An
// output that goes away while it rings (the sound server restarted) shows
// as SDL's event that the device was removed; keepRinging() then opens one
// again. While idle there is no device and no audio thread.

#include "ports/media_player.h"

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
    bool keepRinging() override;
    void stop() override;

    // For tests and diagnostics.
    bool holdsDevice() const { return open_; }
    bool isPlaying() const;

private:
    enum class Sound { None, File, Tone };

    void openDevice();
    void closeDevice();
    void startFile();
    void startTone();
    bool deviceGone();

    std::string fileName_;
    Sound sound_ = Sound::None;  // what rings, to start again on a new device
    const Tone* tone_ = nullptr;
    Mix_Music* music_ = nullptr;
    bool open_ = false;
};

}  // namespace bellwick
