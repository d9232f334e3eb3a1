#pragma once

#include "sound/alarm_tone.h"

#include <stdexcept>
#include <string>

namespace bellwick {

// The named file cannot be played; what() says why.
struct PlayError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // An alarm may ring within the minute: makes play() and loop() ready to
    // start without delay (a player loaded on demand loads now). Never
    // fails; what fails shows at play().
    virtual void prepare() {}
    // Remembers the name for the next play; accepts any text, plays
    // nothing and stops playback in progress. Never fails.
    virtual void setFileName(const std::string& name) = 0;
    // Opens the named file and starts playing it over and over, without a
    // gap, until stop() or a new file name; returns at once. Throws
    // PlayError when the file cannot be played. How long it rings is the
    // caller's to decide.
    virtual void play() = 0;
    // Loops the tone's pattern the same way. Opens the device as play()
    // does and throws PlayError when it cannot. Returns at once.
    virtual void loop(const Tone& tone) = 0;
    // Called at every tick while a sound rings: where its output went away
    // (a sound server restarted, a device unplugged), opens one again and
    // plays on. False while no output can be had for it. Cheap.
    virtual bool keepRinging() = 0;
    // Halts playback, if any. Never fails.
    virtual void stop() = 0;
};

}  // namespace bellwick
