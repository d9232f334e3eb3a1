#include "handlers/tick_phase.h"

#include <algorithm>

namespace bellwick {

int msToNextTick(int millisecond, int intervalMs, bool changed)
{
    // Milliseconds since the latest second's tick moment, 0..999.
    const int since = ((millisecond - kTickLeadMs) % 1000 + 1000) % 1000;
    const int toSecond = 1000 - since;
    if (!changed || intervalMs <= 0) return toSecond;
    // An interval that does not divide the second restarts its steps there.
    return std::min(intervalMs - since % intervalMs, toSecond);
}

}  // namespace bellwick
