#include "posix/local_clock.h"
#include "posix/scoped_tz.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>

namespace bellwick {
namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

DateTime utcOf(std::time_t t)
{
    const std::int64_t days = floorDiv(t, 86400);
    const auto s = static_cast<int>(t - days * 86400);
    return {civilFromDays(days), {s / 3600, s / 60 % 60, s % 60}};
}

// Day number of the last Sunday of a month (days since 1970-01-01, a Thursday).
std::int64_t lastSunday(int year, int month, int lastDay)
{
    const std::int64_t d = daysFromCivil({year, month, lastDay});
    return d - ((d + 4) % 7 + 7) % 7;
}

std::int64_t nthSunday(int year, int month, int n)
{
    const std::int64_t first = daysFromCivil({year, month, 1});
    return first + (7 - ((first + 4) % 7 + 7) % 7) % 7 + 7 * (n - 1);
}

// Offsets from the rules as written in law, independent of tzdata.
int centralEurope(std::time_t t)
{
    const int y = utcOf(t).date.year;
    // Summer time from 01:00 UTC on the last Sunday of March to 01:00 UTC on the last Sunday of October.
    const std::int64_t start = lastSunday(y, 3, 31) * 86400 + 3600;
    const std::int64_t end = lastSunday(y, 10, 31) * 86400 + 3600;
    return t >= start && t < end ? 7200 : 3600;
}

int usEastern(std::time_t t)
{
    const int y = utcOf(t).date.year;
    // 02:00 EST on the second Sunday of March to 02:00 EDT on the first Sunday of November.
    const std::int64_t start = nthSunday(y, 3, 2) * 86400 + 7 * 3600;
    const std::int64_t end = nthSunday(y, 11, 1) * 86400 + 6 * 3600;
    return t >= start && t < end ? -4 * 3600 : -5 * 3600;
}

// The wall clock's second as the clock under test reads it. Not time(): that
// coarse clock still shows the old second for a few milliseconds after the
// new one began, so it cannot bracket a precise reading.
std::time_t realSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return ts.tv_sec;
}

int utc(std::time_t) { return 0; }
int india(std::time_t) { return 5 * 3600 + 1800; }

struct TzCase {
    const char* tz;
    const char* zoneFile;  // needed under /usr/share/zoneinfo, or null
    std::function<int(std::time_t)> offset;
};

void PrintTo(const TzCase& c, std::ostream* os) { *os << c.tz; }

class LocalClockZones : public testing::TestWithParam<TzCase> {};

TEST_P(LocalClockZones, NowIsUtcPlusTheZonesOffset)
{
    const TzCase& c = GetParam();
    if (c.zoneFile != nullptr) {
        struct stat st {};
        const std::string path = std::string("/usr/share/zoneinfo/") + c.zoneFile;
        if (stat(path.c_str(), &st) != 0) GTEST_SKIP() << path << " not installed";
    }
    ScopedTz tz(c.tz);
    const LocalClock clock;
    // Retry in the unlikely case a change of offset falls between the reads.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = realSeconds();
        const DateTime now = clock.now();
        const std::time_t after = realSeconds();
        const int offset = c.offset(before);
        if (offset != c.offset(after)) continue;
        const std::int64_t ahead = secondsBetween(now, utcOf(before)) - offset;
        EXPECT_GE(ahead, 0) << c.tz;
        EXPECT_LE(ahead, after - before) << c.tz;
        return;
    }
    FAIL() << "offset kept changing";
}

INSTANTIATE_TEST_SUITE_P(Zones, LocalClockZones,
                         testing::Values(TzCase{"UTC0", nullptr, utc}, TzCase{"UTC", "UTC", utc},
                                         TzCase{"<+0530>-5:30", nullptr, india},
                                         TzCase{"CET-1CEST,M3.5.0,M10.5.0/3", nullptr, centralEurope},
                                         TzCase{"Europe/Berlin", "Europe/Berlin", centralEurope},
                                         TzCase{"EST5EDT,M3.2.0,M11.1.0", nullptr, usEastern},
                                         TzCase{"America/New_York", "America/New_York", usEastern}));

TEST(LocalClock, NowLiesBetweenLocaltimeBeforeAndAfter)
{
    ScopedTz tz("CET-1CEST,M3.5.0,M10.5.0/3");
    const auto local = [](std::time_t t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        return DateTime{{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday}, {tm.tm_hour, tm.tm_min, tm.tm_sec}};
    };
    const LocalClock clock;
    const std::time_t before = realSeconds();
    const DateTime now = clock.now();
    const std::time_t after = realSeconds();
    EXPECT_LE(local(before), now);
    EXPECT_LE(now, local(after));
    EXPECT_TRUE(isValidDate(now.date));
}

}  // namespace
}  // namespace bellwick
