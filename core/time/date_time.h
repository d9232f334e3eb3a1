#pragma once
// Wall-clock dates and times of day, to the second.

#include <compare>
#include <cstdint>

namespace bellwick {

struct Date {
    int year = 1970, month = 1, day = 1;
    auto operator<=>(const Date&) const = default;
};

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
    auto operator<=>(const TimeOfDay&) const = default;
    int seconds() const { return hour * 3600 + minute * 60 + second; }
};

struct DateTime {
    Date date;
    TimeOfDay time;
    auto operator<=>(const DateTime&) const = default;
};

// Days since 1970-01-01 in the proleptic Gregorian calendar.
std::int64_t daysFromCivil(const Date& d);
Date civilFromDays(std::int64_t days);
bool isValidDate(const Date& d);
// 0 Sunday to 6 Saturday.
int weekday(const Date& d);
Date nextDay(const Date& d);

// a - b in whole seconds, on wall-clock values.
std::int64_t secondsBetween(const DateTime& a, const DateTime& b);

}  // namespace bellwick
