#pragma once
// Time text over hand-built locale words, for forms that none of the
// installed locales has: written in the clock's form (time/time_forms.h),
// read by the core's reader. Shared by the fuzzer, the corpus
// replay test and the core tests.

#include "ports/time_text.h"
#include "time/date_time.h"
#include "time/time_forms.h"
#include "time/time_reader.h"

#include <string>
#include <utility>
#include <vector>

namespace bellwick {

class FormTimeText final : public TimeText {
public:
    // Writes the clock's form of the words' time form, as the platforms do.
    explicit FormTimeText(LocaleWords words) : words_(std::move(words))
    {
        words_.time = clockForm(words_.time, words_);
    }

    std::string format(const TimeOfDay& t) const override { return writeForm(words_.time, words_, {2000, 1, 1}, t); }
    std::optional<TimeReading> read(std::string_view text) const override { return readTimeText(text, words_); }
    const LocaleWords& words() const { return words_; }

private:
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

// Those of them as time text: what the invariants of time_text_invariants.h
// hold for.
inline const std::vector<std::pair<const char*, FormTimeText>>& formTimeTexts()
{
    static const std::vector<std::pair<const char*, FormTimeText>> texts = [] {
        std::vector<std::pair<const char*, FormTimeText>> out;
        for (const auto& [name, words] : formLocales())
            out.emplace_back(name, FormTimeText(words));
        return out;
    }();
    return texts;
}

}  // namespace bellwick
