#pragma once
// Times as text by the user's locale on Windows.

#include "ports/time_text.h"
#include "rules/time_reader.h"

#include <string>

namespace bellwick {

// The user's locale (with the user's own changes) as the core's reader
// takes it: AM/PM designators, the long time format with seconds ensured,
// the short date format, month and day names, the two-digit year window.
LocaleWords userLocaleWords();

// The user's long time format (LOCALE_STIMEFORMAT) with seconds ensured.
std::string userTimePicture();

// A time picture ("h:mm tt") with a seconds field after its minutes, in
// the minutes' own separator ("h:mm:ss tt"); unchanged when it has one.
std::string withSeconds(const std::string& picture);

// Writes with GetTimeFormatEx in the user's long time format (with
// seconds, no zone); reads with the core's strict reader fed with the
// locale's words. The locale is looked up on every call.
class Win32TimeText final : public TimeText {
public:
    std::string format(const TimeOfDay& t) const override;
    std::optional<TimeReading> read(std::string_view text) const override;
};

}  // namespace bellwick
