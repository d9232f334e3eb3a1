#pragma once
// Where the clock's ticks fall against the wall clock's seconds: one just
// after each whole second, the rest every interval after it, so the clock
// shows a new second, and an alarm fires, within milliseconds of its start.

namespace bellwick {

// How long after each second's start its tick is due; a margin for timers
// that round to whole milliseconds.
inline constexpr int kTickLeadMs = 1;
// A tick landing up to this much after its moment is on phase; one landing
// later or earlier means the wall clock drifted, jumped or the timer slipped.
inline constexpr int kTickSlackMs = 4;

// Milliseconds from a reading `millisecond` past its second to the next
// tick's moment; 1 to intervalMs (at most to the next second's tick).
int msToNextTick(int millisecond, int intervalMs);

// Whether a tick that read `millisecond` past its second is on phase.
bool onTickPhase(int millisecond, int intervalMs);

}  // namespace bellwick
