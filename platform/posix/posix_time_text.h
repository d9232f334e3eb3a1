#pragma once
// Times as text under the current LC_TIME locale: written by strftime, read
// by the core's reader with the locale's words from nl_langinfo.

#include "ports/time_text.h"

namespace bellwick {

// Reads the locale's %X form, 24-hour "H:MM[:SS]", 12-hour forms with the
// locale's AM/PM words, each optionally after an ISO or %x date
// (rules/time_reader.h). The locale is looked up on every call, never
// changed.
class PosixTimeText final : public TimeText {
public:
    std::string format(const TimeOfDay& t) const override;
    std::optional<TimeReading> read(std::string_view text) const override;
};

}  // namespace bellwick
