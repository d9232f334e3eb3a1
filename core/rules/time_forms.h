#pragma once
// The locale's time and date forms as the reader's tokens, from the two
// pattern languages the systems give them in.

#include "rules/time_reader.h"

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
// "_" and "0". Empty when it holds a conversion the tokens cannot express
// (other digits, eras, centuries, week numbers, case changes).
Form formFromStrftime(std::string_view pattern, const StrftimeParts& parts);

// A Windows time or date picture, such as LOCALE_STIMEFORMAT or
// LOCALE_SSHORTDATE: "h:mm:ss tt", "HH:mm:ss", "M/d/yyyy", "dd.MM.yyyy",
// "dddd, MMMM d", 'quoted text'. Empty when it holds what the tokens
// cannot express (eras, the AM/PM word's first letter alone).
Form formFromWindowsPicture(std::string_view picture);

}  // namespace bellwick
