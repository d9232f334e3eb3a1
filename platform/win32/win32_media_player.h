#pragma once
// The media player on MCI (winmm's string interface).

#include "ports/media_player.h"
#include "win32/handles.h"
#include "win32/patched_wav.h"

#include <memory>
#include <string>

namespace bellwick {

// Each play() opens the named file under an alias of its own with no device
// type, so WAV goes to waveaudio and MP3 to mpegvideo (a WAV whose header
// the core's check corrects goes to waveaudio through a PatchedWav), and
// starts it with "play ... notify"; each time MCI says it has played to the
// end, it plays again from the start, until stop(), a new file name or the
// destructor close the device. A file that cannot be played, and any MCI
// error, is a PlayError at once with MCI's own text. Never waits for
// playback. Needs no audio device to be made; without one, play() reports
// it.
class Win32MediaPlayer final : public MediaPlayer {
public:
    Win32MediaPlayer();
    ~Win32MediaPlayer() override;
    Win32MediaPlayer(const Win32MediaPlayer&) = delete;
    Win32MediaPlayer& operator=(const Win32MediaPlayer&) = delete;

    void setFileName(const std::string& name) override;
    void play() override;
    // PlaySound from memory, looping until stopped; no device to hold. A
    // device that fails to open for the tone is a PlayError, as none is.
    void loop(const Tone& tone) override;
    // The tone: true while it is on (PlaySound tells no more). The file:
    // true while it plays; stopped, it is played again, and after a failed
    // play opened again, once a call; false when that does not play.
    bool keepRinging() override;
    void stop() override;

    // MCI's mode of the open device ("playing", "stopped", ...); empty when
    // none is open. For tests and diagnostics.
    std::string mode() const;
    // Plays of the file begun since play(), the first one included.
    int plays() const { return plays_; }
    // MCI says a play has ended, well or not: plays again from the start,
    // or closes the device when that fails.
    void finished(bool succeeded);

private:
    void close();
    void stopTone();
    void closeDevice();
    // Opens element (MCI's open arguments before the alias) and plays it;
    // the MCI error text, or empty.
    std::string start(const std::wstring& element);
    bool replay();
    [[noreturn]] void fail(const std::string& why);
    // Sends an MCI command string; the MCI error text, or empty on success.
    std::string send(const std::wstring& command, bool notify = false) const;

    std::string fileName_;
    std::wstring alias_;
    win32::OwnedWindow notifyWindow_;
    std::wstring element_;  // what MCI opens, while it rings
    std::unique_ptr<PatchedWav> patched_;
    bool ringing_ = false;  // the file is meant to play, from play() to a stop
    bool open_ = false;
    bool toneOn_ = false;
    int plays_ = 0;
};

}  // namespace bellwick
