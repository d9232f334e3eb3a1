#pragma once
// What any text, read in any locale, must give. Shared by the fuzzer and
// the corpus replay test.

#include "ports/time_text.h"
#include "time/date_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace bellwick {

// glibc's kinds of time form: 24 and 12 hours, dots, "kl." without seconds
// and with an offset, a zone name, labels, the day period first.
inline constexpr const char* kTimeTextLocales[] = {"C",           "en_US.UTF-8", "de_DE.UTF-8", "fi_FI.UTF-8",
                                                   "nb_NO.UTF-8", "en_IN.UTF-8", "ko_KR.UTF-8", "ta_IN.UTF-8"};

inline std::string describeReading(const std::optional<TimeReading>& r)
{
    if (!r) return "unreadable";
    std::string s;
    if (r->date) {
        s += std::to_string(r->date->year) + "-" + std::to_string(r->date->month) + "-" + std::to_string(r->date->day) +
             " ";
    }
    return s + std::to_string(r->time.hour) + ":" + std::to_string(r->time.minute) + ":" +
           std::to_string(r->time.second);
}

// Empty when every invariant holds for the text under the current locale,
// else what broke.
inline std::string timeTextInvariantFailure(const TimeText& timeText, std::string_view text)
{
    const std::optional<TimeReading> reading = timeText.read(text);
    if (timeText.read(text) != reading) return "reading the same text twice differs";
    const std::string padded = " \t " + std::string(text) + "\t  ";
    if (const auto p = timeText.read(padded); p != reading) {
        return "surrounding blanks change the reading: " + describeReading(reading) + " vs " + describeReading(p);
    }
    if (!reading) return {};

    const TimeOfDay& t = reading->time;
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59) {
        return "time out of range: " + describeReading(reading);
    }
    if (reading->date && !isValidDate(*reading->date)) return "invalid date: " + describeReading(reading);

    const std::string formatted = timeText.format(t);
    const std::optional<TimeReading> back = timeText.read(formatted);
    if (!back || back->date || back->time != t) {
        return "format gave \"" + formatted + "\" for " + describeReading(reading) + ", which reads as " +
               describeReading(back);
    }
    if (timeText.format(back->time) != formatted) return "format is not stable for \"" + formatted + "\"";
    return {};
}

}  // namespace bellwick
