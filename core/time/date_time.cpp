#include "time/date_time.h"

namespace bellwick {

// Howard Hinnant's civil-day algorithms.
std::int64_t daysFromCivil(const Date& d)
{
    const std::int64_t y = d.year - (d.month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

Date civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

bool isValidDate(const Date& d)
{
    if (d.month < 1 || d.month > 12 || d.day < 1) return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int last = kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
    return d.day <= last;
}

// 1970-01-01 was a Thursday.
int weekday(const Date& d) { return static_cast<int>(((daysFromCivil(d) + 4) % 7 + 7) % 7); }

Date nextDay(const Date& d) { return civilFromDays(daysFromCivil(d) + 1); }

std::int64_t secondsBetween(const DateTime& a, const DateTime& b)
{
    return (daysFromCivil(a.date) - daysFromCivil(b.date)) * 86400 + (a.time.seconds() - b.time.seconds());
}

}  // namespace bellwick
