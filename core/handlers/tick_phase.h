#pragma once
// When the clock's next tick is due. A tick can change what is shown or
// heard only at a new second of the wall clock, so while nothing changes
// one tick falls just after each second. After a change of something a tick
// reads (the alarm text, "Set Alarm", the file, the clock set, the zone, a
// resume, a message closed) the next tick comes at the next step of the
// timer's interval on the same grid, as soon as with a tick every step.

namespace bellwick {

// How long after each second's start its tick is due; a margin for timers
// that round to whole milliseconds.
inline constexpr int kTickLeadMs = 1;

// Milliseconds from a reading `millisecond` past its second to the next
// tick's moment: the next second's, or with `changed` the next step of
// intervalMs (at most the next second's). 1 to 1000.
int msToNextTick(int millisecond, int intervalMs, bool changed);

}  // namespace bellwick
