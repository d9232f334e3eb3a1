#include "sound/alarm_tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bellwick {

namespace {

constexpr int kRate = 22050;
constexpr double kPitchHz = 2000;  // where hearing is keenest, far below the rate's limit
constexpr double kPeak = 0.89;     // -1 dBFS: loud, with room before clipping
constexpr int kBeepMs = 100, kGapMs = 50, kBeeps = 4, kCycleMs = 1000;
constexpr int kRampMs = 5;  // raised-cosine edges: no clicks

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

// The level of sample n of a cycle, -1..1.
double level(int n)
{
    const int ms = n * 1000 / kRate;
    const int beep = ms / (kBeepMs + kGapMs);
    const double into = n - beep * (kBeepMs + kGapMs) * kRate / 1000.0;  // samples into this beep
    const double length = kBeepMs * kRate / 1000.0;
    if (beep >= kBeeps || into >= length) return 0;
    const double ramp = kRampMs * kRate / 1000.0;
    const double edge = std::min({into / ramp, (length - into) / ramp, 1.0});
    const double envelope = 0.5 - 0.5 * std::cos(std::numbers::pi * edge);
    return kPeak * envelope * std::sin(2 * std::numbers::pi * kPitchHz * n / kRate);
}

Tone makeTone()
{
    constexpr std::uint32_t samples = kRate * kCycleMs / 1000;
    constexpr std::uint32_t dataBytes = samples * 2;
    Tone tone;
    std::vector<std::uint8_t>& w = tone.wav;
    w.reserve(44 + dataBytes);
    putTag(w, "RIFF");
    put32(w, 36 + dataBytes);
    putTag(w, "WAVE");
    putTag(w, "fmt ");
    put32(w, 16);
    put16(w, 1);  // PCM
    put16(w, 1);  // mono
    put32(w, kRate);
    put32(w, kRate * 2);  // bytes a second
    put16(w, 2);          // bytes a frame
    put16(w, 16);         // bits a sample
    putTag(w, "data");
    put32(w, dataBytes);
    for (std::uint32_t n = 0; n < samples; ++n) {
        const long v = std::lround(level(static_cast<int>(n)) * 32767);
        put16(w, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)) & 0xFFFF);
    }
    tone.cycleMs = kCycleMs;
    return tone;
}

}  // namespace

const Tone& alarmTone()
{
    static const Tone tone = makeTone();
    return tone;
}

}  // namespace bellwick
