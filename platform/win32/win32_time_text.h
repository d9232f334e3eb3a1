#pragma once
// Times as text by the user's locale on Windows.

#include "time/locale_time_text.h"

#include <string>

namespace bellwick {

// The user's locale (with the user's own changes) as the core's reader
// takes it: AM/PM designators, the long time format as the clock's form
// (seconds ensured, time/time_forms.h: clockForm), the short date format,
// month and day names, the two-digit year window.
LocaleWords userLocaleWords();

// Writes the clock's form of the user's long time format; reads with the
// core's strict reader fed with the locale's words. The words are looked up
// again when the user's locale, time or date format or AM/PM words change.
class Win32TimeText final : public LocaleTimeText {
private:
    LocaleWords lookUpWords() const override { return userLocaleWords(); }
    std::string wordsKey() const override;
};

}  // namespace bellwick
