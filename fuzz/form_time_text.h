#pragma once
// Time text over hand-built locale words, for forms that none of the
// installed locales has: written from the tokens as the locale would
// write them, read by the core's reader. Shared by the fuzzer, the corpus
// replay test and the core tests.

#include "ports/time_text.h"
#include "rules/date_time.h"
#include "rules/time_forms.h"
#include "rules/time_reader.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace bellwick {

class FormTimeText final : public TimeText {
public:
    explicit FormTimeText(LocaleWords words) : words_(std::move(words)) {}

    std::string format(const TimeOfDay& t) const override { return write(words_.time, words_, {2000, 1, 1}, t); }
    std::optional<TimeReading> read(std::string_view text) const override { return readTimeText(text, words_); }
    const LocaleWords& words() const { return words_; }

    // A date and time in a form, as the locale writes them.
    static std::string write(const Form& form, const LocaleWords& w, const Date& d, const TimeOfDay& t)
    {
        using Kind = FormToken::Kind;
        const auto weekday = static_cast<std::size_t>(((daysFromCivil(d) + 4) % 7 + 7) % 7);
        const auto month = static_cast<std::size_t>(d.month - 1);
        std::string out;
        for (const FormToken& k : form) {
            switch (k.kind) {
            case Kind::Text: out += k.text; break;
            case Kind::Hour24: out += padded(t.hour, k.pad); break;
            case Kind::Hour12: out += padded(t.hour % 12 == 0 ? 12 : t.hour % 12, k.pad); break;
            case Kind::Minute: out += padded(t.minute, k.pad); break;
            case Kind::Second: out += padded(t.second, k.pad); break;
            case Kind::DayPeriod: out += t.hour < 12 ? w.am : w.pm; break;
            case Kind::Day: out += padded(d.day, k.pad); break;
            case Kind::Month: out += padded(d.month, k.pad); break;
            case Kind::MonthName: out += w.months[month]; break;
            case Kind::ShortMonthName: out += w.shortMonths[month]; break;
            case Kind::Weekday: out += w.weekdays[weekday]; break;
            case Kind::ShortWeekday: out += w.shortWeekdays[weekday]; break;
            case Kind::Year2: out += padded(d.year % 100, k.pad); break;
            case Kind::Year4: out += std::to_string(d.year); break;
            }
        }
        return out;
    }

private:
    static std::string padded(int v, FormToken::Pad pad)
    {
        const std::string digits = std::to_string(v);
        if (v >= 10 || pad == FormToken::Pad::None) return digits;
        return (pad == FormToken::Pad::Zero ? "0" : " ") + digits;
    }

    LocaleWords words_;
};

// English words with forms from strftime patterns.
inline LocaleWords strftimeWords(const char* am, const char* pm, const char* time, const char* date)
{
    LocaleWords w;
    w.am = am;
    w.pm = pm;
    const StrftimeParts parts{"", "UTC", "+0000"};
    w.time = formFromStrftime(time, parts);
    w.date = formFromStrftime(date, parts);
    w.months = {"January", "February", "March",     "April",   "May",      "June",
                "July",    "August",   "September", "October", "November", "December"};
    w.shortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    w.weekdays = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    w.shortWeekdays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    return w;
}

// The same with forms from Windows pictures and Windows' two-digit years.
inline LocaleWords windowsWords(const char* am, const char* pm, const char* time, const char* date)
{
    LocaleWords w = strftimeWords(am, pm, "", "");
    w.time = formFromWindowsPicture(time);
    w.date = formFromWindowsPicture(date);
    w.lastTwoDigitYear = 2049;
    return w;
}

// Words whose forms differ from the digit reader's, so that only the form
// reads what the locale writes: day period first, zones, dots, blank
// padding, names, unpadded numbers.
inline const std::vector<std::pair<const char*, LocaleWords>>& formLocales()
{
    static const std::vector<std::pair<const char*, LocaleWords>> locales = {
        {"KoreanStyle", strftimeWords("\xec\x98\xa4\xec\xa0\x84", "\xec\x98\xa4\xed\x9b\x84",
                                      "%p %I\xec\x8b\x9c %M\xeb\xb6\x84 %S\xec\xb4\x88",
                                      "%Y\xeb\x85\x84 %m\xec\x9b\x94 %d\xec\x9d\xbc")},
        {"ZoneAfterTheTime", strftimeWords("AM", "PM", "%I:%M:%S %p %Z", "%-d/%-m/%y")},
        {"ZoneBeforeTheTime", strftimeWords("AM", "PM", "%Z %I:%M:%S %p", "%d %b, %Y")},
        {"DotsAndBlankPaddedHour", strftimeWords("", "", "%k.%M.%S", "%e.%m.%Y")},
        {"BlankPaddedTwelveHour", strftimeWords("AM", "PM", "%l:%M:%S\xe1\x8d\xa1%p", "%A %d %b %Y")},
        {"OffsetWithoutSeconds", strftimeWords("", "", "kl. %H.%M %z", "%a %e.%b %Y")},
        {"WindowsEnUs", windowsWords("AM", "PM", "h:mm:ss tt", "M/d/yyyy")},
        {"WindowsDeDe", windowsWords("", "", "HH:mm:ss", "dd.MM.yyyy")},
        {"WindowsDayPeriodFirst", windowsWords("a.m.", "p.m.", "tt h:mm:ss", "dddd, MMMM d, yy")},
    };
    return locales;
}

// Those of them whose full time form carries seconds, as time text: what
// the invariants of time_text_invariants.h hold for.
inline const std::vector<std::pair<const char*, FormTimeText>>& formTimeTexts()
{
    static const std::vector<std::pair<const char*, FormTimeText>> texts = [] {
        std::vector<std::pair<const char*, FormTimeText>> out;
        for (const auto& [name, words] : formLocales()) {
            for (const FormToken& t : words.time) {
                if (t.kind == FormToken::Kind::Second) {
                    out.emplace_back(name, FormTimeText(words));
                    break;
                }
            }
        }
        return out;
    }();
    return texts;
}

}  // namespace bellwick
