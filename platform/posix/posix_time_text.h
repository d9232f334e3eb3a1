#pragma once
// Times as text under the current LC_TIME locale, written and read with the
// locale's words and forms from nl_langinfo.

#include "time/locale_time_text.h"

#include <string>

namespace bellwick {

// The current LC_TIME locale's words; its time form is the clock's
// (time/time_forms.h: clockForm of T_FMT, in ASCII digits).
LocaleWords posixLocaleWords();

// Writes the locale's time form (%X where that has seconds and no zone).
// Reads that form, as written or typed, 24-hour "H:MM[:SS]", 12-hour forms
// with the locale's AM/PM words, each optionally after an ISO or %x date
// (time/time_reader.h). The locale is never changed; its words are looked
// up again when its name or the time zone's name changes (the zone's as of
// the last tzset, which the clock calls every second).
class PosixTimeText final : public LocaleTimeText {
private:
    LocaleWords lookUpWords() const override { return posixLocaleWords(); }
    std::string wordsKey() const override;
};

}  // namespace bellwick
