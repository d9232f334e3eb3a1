#include "handlers/tick_phase.h"

#include <algorithm>

namespace bellwick {

namespace {

// Milliseconds since the latest second's tick moment, 0..999.
int sinceSecondTick(int millisecond) { return ((millisecond - kTickLeadMs) % 1000 + 1000) % 1000; }

}  // namespace

int msToNextTick(int millisecond, int intervalMs)
{
    const int since = sinceSecondTick(millisecond);
    // An interval that does not divide the second restarts its steps there.
    return std::min(intervalMs - since % intervalMs, 1000 - since);
}

bool onTickPhase(int millisecond, int intervalMs) { return sinceSecondTick(millisecond) % intervalMs <= kTickSlackMs; }

}  // namespace bellwick
