#pragma once
// The media player on MCI (winmm's string interface).

#include "ports/media_player.h"
#include "win32/handles.h"

#include <string>

namespace bellwick {

// Each play() opens the named file under an alias of its own with no device
// type, so WAV goes to waveaudio and MP3 to mpegvideo, and starts it with
// "play ... notify"; when it has played, the device is closed again. A
// file that cannot be played, and any MCI error, is a PlayError at once
// with MCI's own text. Never waits for playback. Needs no audio device to
// be made; without one, play() reports it.
class Win32MediaPlayer final : public MediaPlayer {
public:
    Win32MediaPlayer();
    ~Win32MediaPlayer() override;
    Win32MediaPlayer(const Win32MediaPlayer&) = delete;
    Win32MediaPlayer& operator=(const Win32MediaPlayer&) = delete;

    void setFileName(const std::string& name) override;
    void play() override;
    // PlaySound from memory, looping, stopped by a timer after the tone's
    // loops; there is no device to hold.
    void loop(const Tone& tone) override;
    void stop() override;

    // MCI's mode of the open device ("playing", "stopped", ...); empty when
    // none is open. For tests and diagnostics.
    std::string mode() const;
    // MCI says a play has ended: closes the device unless it plays again.
    void finished();
    // The tone's time is up.
    void stopTone();

private:
    void close();
    [[noreturn]] void fail(const std::string& why);
    // Sends an MCI command string; the MCI error text, or empty on success.
    std::string send(const std::wstring& command, bool notify = false) const;

    std::string fileName_;
    std::wstring alias_;
    win32::OwnedWindow notifyWindow_;
    bool open_ = false;
    bool toneOn_ = false;
};

}  // namespace bellwick
