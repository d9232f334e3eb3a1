#pragma once
// Times as text, by the user's locale.

#include "time/date_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace bellwick {

// A time read from text: a time of day, and a date when the text named one.
struct TimeReading {
    std::optional<Date> date;
    TimeOfDay time;
    friend bool operator==(const TimeReading&, const TimeReading&) = default;
};

class TimeText {
public:
    virtual ~TimeText() = default;
    // The locale's full time form, with seconds and no date.
    virtual std::string format(const TimeOfDay& t) const = 0;
    // The user's text as a time of day or a date and time; nullopt when
    // the text cannot be read.
    virtual std::optional<TimeReading> read(std::string_view text) const = 0;
};

}  // namespace bellwick
