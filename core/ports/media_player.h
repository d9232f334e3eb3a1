#pragma once

#include "rules/alarm_tone.h"

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
    // Remembers the name for the next play; accepts any text, plays
    // nothing and stops playback in progress. Never fails.
    virtual void setFileName(const std::string& name) = 0;
    // Opens the named file and starts playing it once; returns at once.
    // Throws PlayError when the file cannot be played.
    virtual void play() = 0;
    // Plays the tone's pattern tone.loops times over and then lets the
    // device go; stop() or a new file name end it sooner. Opens the device
    // as play() does and throws PlayError when it cannot. Returns at once.
    virtual void loop(const Tone& tone) = 0;
    // Halts playback, if any. Never fails.
    virtual void stop() = 0;
};

}  // namespace bellwick
