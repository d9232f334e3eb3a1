#pragma once
// The strict reader of alarm texts. What it takes, after any spaces and
// tabs around the text:
//  - a time: "H:MM" or "H:MM:SS", 24-hour, or 12-hour followed by the
//    locale's AM or PM word in any case; or the locale's full time form
//    exactly as the locale writes it; or that form as typed: the hour with
//    one or two digits, with or without the seconds (withoutSeconds in
//    time_forms.h), with or without the text before its first field and
//    after its last ("7.00" where the clock shows "kl. 07.00.00");
//  - or a date, then one or more blanks, then such a time. The date is ISO
//    "YYYY-MM-DD" (which may also be followed by "T" instead of blanks), or
//    the locale's short date form, whose day and month may have one or two
//    digits.
// Anything else is refused. The locale's words and forms come from the
// platform, which builds them from its own pattern language (time_forms.h).

#include "ports/time_text.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bellwick {

// One piece of a locale's time or date form.
struct FormToken {
    enum class Kind {
        Text,       // these bytes exactly
        Hour24,     // 0-23
        Hour12,     // 1-12
        Minute,     // 0-59
        Second,     // 0-59
        DayPeriod,  // the AM or PM word, as the locale writes it
        Day,        // 1-31
        Month,      // 1-12
        MonthName,  // LocaleWords::months
        ShortMonthName,
        Weekday,  // LocaleWords::weekdays; must agree with the date
        ShortWeekday,
        Year2,  // the last two digits, within LocaleWords::lastTwoDigitYear's century
        Year4,
        Zone,  // the time zone's name or offset, as written with the time (text)
    };
    // How a number below 10 is written: "7", "07" or " 7".
    enum class Pad { None, Zero, Space };

    Kind kind = Kind::Text;
    Pad pad = Pad::Zero;
    std::string text;  // for Text and Zone
    friend bool operator==(const FormToken&, const FormToken&) = default;
};

// A whole form, such as "%I:%M:%S %p" as tokens. Empty: the locale has
// none that the tokens can express.
using Form = std::vector<FormToken>;

struct LocaleWords {
    std::string am, pm;                                  // day-period words; "" when the locale has none
    Form time;                                           // the locale's full time form
    Form date;                                           // the locale's short date form
    std::array<std::string, 12> months, shortMonths;     // January first
    std::array<std::string, 7> weekdays, shortWeekdays;  // Sunday first
    // A two-digit year names the year in the hundred years up to this one.
    int lastTwoDigitYear = 2068;
};

// The text as a time of day, or as a date and time; nullopt when it is
// neither.
std::optional<TimeReading> readTimeText(std::string_view text, const LocaleWords& words);

}  // namespace bellwick
