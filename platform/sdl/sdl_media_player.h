#pragma once
// The media player on SDL2_mixer: opens and decodes synchronously, so a file
// that cannot be played is reported by play() itself.

#include "components/media_player.h"

#include <string>

typedef struct _Mix_Music Mix_Music;

namespace bellwick {

class SdlMediaPlayer final : public MediaPlayer {
public:
    // Never fails: without an audio device every play() reports it.
    SdlMediaPlayer();
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    void setFileName(const std::string& name) override;
    void play() override;
    void stop() override;

    // For tests and diagnostics.
    bool hasAudio() const { return open_; }
    bool isPlaying() const;

private:
    void release();

    std::string fileName_;
    std::string deviceError_;
    Mix_Music* music_ = nullptr;
    bool open_ = false;
};

}  // namespace bellwick
