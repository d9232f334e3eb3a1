#pragma once
// The locale's time and date forms as the reader's tokens, from the two
// pattern languages the systems give them in.

#include "time/date_time.h"
#include "time/time_reader.h"

#include <string>
#include <string_view>

namespace bellwick {

// What a strftime pattern's conversions print that the pattern alone does
// not say.
struct StrftimeParts {
    std::string_view ampmPattern;  // %r: the locale's 12-hour form; "" for "%I:%M:%S %p"
    std::string_view zoneName;     // %Z, as written with the times read
    std::string_view zoneOffset;   // %z, likewise
    bool altDigits = false;        // %O... writes the locale's own digits
    bool eras = false;             // %E... writes the locale's era years
};

// A strftime pattern, such as nl_langinfo's T_FMT or D_FMT: "%H:%M:%S",
// "%r", "%l", "%k", "%T", "%R", "%D", "%F", "%e", "%b", the GNU flags "-",
// "_" and "0"; %Z and %z as Zone tokens. Empty when it holds a conversion the tokens cannot express
// (other digits, eras, centuries, week numbers, case changes).
Form formFromStrftime(std::string_view pattern, const StrftimeParts& parts);

// A Windows time or date picture, such as LOCALE_STIMEFORMAT or
// LOCALE_SSHORTDATE: "h:mm:ss tt", "HH:mm:ss", "M/d/yyyy", "dd.MM.yyyy",
// "dddd, MMMM d", 'quoted text'. Empty when it holds what the tokens
// cannot express (eras, the AM/PM word's first letter alone).
Form formFromWindowsPicture(std::string_view picture);

// The form the clock writes, from the locale's full time form: the same
// form where it has seconds and no zone; otherwise with seconds after the
// minutes (joined by the locale's own separator when it is punctuation,
// else ":"), without the zone and the blanks or brackets that joined it.
// A 12-hour form becomes 24-hour where the locale's day-period words cannot
// tell the two halves of the day apart. "HH:MM:SS" when the form is empty
// or has no hour and minute or names a date.
Form clockForm(const Form& time, const LocaleWords& words);

// The form without its seconds, as an alarm is typed in the locale's own
// separators: "%H.%M.%S" gives "%H.%M", "%H時%M分%S秒" gives
// "%H時%M分" (the seconds' own label goes with them).
Form withoutSeconds(const Form& form);

// The date and time in a form as the locale writes them, with ASCII
// digits. The date is used only by the form's date fields.
std::string writeForm(const Form& form, const LocaleWords& words, const Date& date, const TimeOfDay& time);

}  // namespace bellwick
