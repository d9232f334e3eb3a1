#include "posix/posix_time_text.h"

#include "time/time_forms.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <langinfo.h>
#include <string>
#include <vector>

namespace bellwick {

namespace {

std::tm makeTm(const Date& d, const TimeOfDay& t)
{
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_wday = weekday(d);
    tm.tm_yday = static_cast<int>(daysFromCivil(d) - daysFromCivil({d.year, 1, 1}));
    tm.tm_isdst = 0;
    return tm;
}

std::string formatTm(const char* format, const std::tm& tm)
{
    // strftime returns 0 both for "too small" and for an empty result.
    for (std::size_t size = 64; size <= 4096; size *= 2) {
        std::vector<char> buf(size);
        const std::size_t n = std::strftime(buf.data(), buf.size(), format, &tm);
        if (n > 0) return std::string(buf.data(), n);
    }
    return {};
}

// A tm of the day the zone is written for; %Z and %z print its zone.
std::tm timeTm(const TimeOfDay& t) { return makeTm({2000, 1, 1}, t); }

std::string langinfo(nl_item item) { return nl_langinfo(item); }

}  // namespace

LocaleWords posixLocaleWords()
{
    LocaleWords words;
    words.am = langinfo(AM_STR);
    words.pm = langinfo(PM_STR);
    const std::string ampm = langinfo(T_FMT_AMPM);
    const std::string zone = formatTm("%Z", timeTm({}));
    const std::string offset = formatTm("%z", timeTm({}));
    const StrftimeParts parts{ampm, zone, offset, !langinfo(ALT_DIGITS).empty(), !langinfo(ERA).empty()};
    // The clock writes ASCII digits where the locale's form asks for its
    // own (%O), which the reader does not take.
    StrftimeParts asciiDigits = parts;
    asciiDigits.altDigits = false;
    asciiDigits.eras = false;
    words.time = clockForm(formFromStrftime(langinfo(T_FMT), asciiDigits), words);
    words.date = formFromStrftime(langinfo(D_FMT), parts);
    static constexpr nl_item kMonths[] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                          MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static constexpr nl_item kShortMonths[] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                               ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static constexpr nl_item kDays[] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    static constexpr nl_item kShortDays[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    for (std::size_t i = 0; i < 12; ++i) {
        words.months[i] = langinfo(kMonths[i]);
        words.shortMonths[i] = langinfo(kShortMonths[i]);
    }
    for (std::size_t i = 0; i < 7; ++i) {
        words.weekdays[i] = langinfo(kDays[i]);
        words.shortWeekdays[i] = langinfo(kShortDays[i]);
    }
    return words;
}

// What the words depend on: the LC_TIME locale in use on this thread and the
// zone's name %Z writes.
std::string PosixTimeText::wordsKey() const
{
#ifdef _NL_LOCALE_NAME
    std::string key = nl_langinfo(_NL_LOCALE_NAME(LC_TIME));
#else
    std::string key = setlocale(LC_TIME, nullptr);
#endif
    return key.append(1, '\n').append(tzname[0]);
}

}  // namespace bellwick
