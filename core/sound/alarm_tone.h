#pragma once
// The built-in alarm tone, for when the chosen sound cannot play: four
// short beeps and a rest, one second in all, made here as the bytes of a
// WAV file (16-bit mono PCM), so there is nothing on disk that could be
// missing too.

#include <cstdint>
#include <vector>

namespace bellwick {

struct Tone {
    std::vector<std::uint8_t> wav;  // one pattern, a whole WAV image
    int cycleMs = 0;                // how long one pattern plays
};

// Made once, on first use.
const Tone& alarmTone();

}  // namespace bellwick
