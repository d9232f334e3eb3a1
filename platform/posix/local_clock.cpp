#include "posix/local_clock.h"

#include <algorithm>
#include <ctime>

namespace bellwick {

WallTime LocalClock::read() const
{
    // Not time(): the coarse clock shows the old second for a few
    // milliseconds after the new one began.
    timespec ts{};
    if (clock_gettime(CLOCK_REALTIME, &ts) != 0) return {};
    // localtime_r need not pick up a changed TZ or /etc/localtime by itself;
    // tzset looks at the file, so once a second, not on every tick.
    if (ts.tv_sec != zoneCheckedAt_) {
        tzset();
        zoneCheckedAt_ = ts.tv_sec;
    }
    std::tm tm{};
    if (localtime_r(&ts.tv_sec, &tm) == nullptr) return {};
    // A leap second shows as :59 rather than an invalid :60.
    return {{{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, {tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59)}},
            static_cast<int>(ts.tv_nsec / 1'000'000)};
}

}  // namespace bellwick
