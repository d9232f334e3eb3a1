#include "posix/local_clock.h"

#include <algorithm>
#include <ctime>

namespace bellwick {

DateTime LocalClock::now() const
{
    // localtime_r need not pick up a changed TZ by itself.
    tzset();
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) return {};
    // A leap second shows as :59 rather than an invalid :60.
    return {{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, {tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59)}};
}

}  // namespace bellwick
