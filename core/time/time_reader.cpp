#include "time/time_reader.h"

#include "time/date_time.h"
#include "time/time_forms.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace bellwick {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::size_t skipBlanks(std::string_view& s)
{
    std::size_t n = 0;
    while (n < s.size() && isBlank(s[n]))
        ++n;
    s.remove_prefix(n);
    return n;
}

bool takeLiteral(std::string_view& s, std::string_view literal)
{
    if (!s.starts_with(literal)) return false;
    s.remove_prefix(literal.size());
    return true;
}

// At most maxDigits digits are read, so the value cannot overflow; a longer
// run leaves digits behind that whatever follows then rejects.
std::optional<int> takeNumber(std::string_view& s, std::size_t minDigits, std::size_t maxDigits)
{
    std::size_t n = 0;
    int value = 0;
    while (n < s.size() && n < maxDigits && isDigit(s[n])) {
        value = value * 10 + (s[n] - '0');
        ++n;
    }
    if (n < minDigits) return std::nullopt;
    s.remove_prefix(n);
    return value;
}

// Without two distinct words the 12-hour forms cannot be told apart.
bool usableDayPeriods(const LocaleWords& words)
{
    return !words.am.empty() && !words.pm.empty() && !equalsIgnoringAsciiCase(words.am, words.pm);
}

// --- "H:MM[:SS]", 24-hour or followed by the AM/PM word ---

std::optional<TimeOfDay> readDigitTime(std::string_view s, const LocaleWords& words)
{
    const auto hour = takeNumber(s, 1, 2);
    if (!hour || !takeLiteral(s, ":")) return std::nullopt;
    const auto minute = takeNumber(s, 2, 2);
    if (!minute) return std::nullopt;
    int second = 0;
    if (takeLiteral(s, ":")) {
        const auto sec = takeNumber(s, 2, 2);
        if (!sec) return std::nullopt;
        second = *sec;
    }
    if (*minute > 59 || second > 59) return std::nullopt;
    skipBlanks(s);
    if (s.empty()) {
        if (*hour > 23) return std::nullopt;
        return TimeOfDay{*hour, *minute, second};
    }
    if (!usableDayPeriods(words) || *hour < 1 || *hour > 12) return std::nullopt;
    bool pm = false;
    if (equalsIgnoringAsciiCase(s, words.pm)) {
        pm = true;
    } else if (!equalsIgnoringAsciiCase(s, words.am)) {
        return std::nullopt;
    }
    return TimeOfDay{*hour % 12 + (pm ? 12 : 0), *minute, second};
}

// --- the locale's forms ---

using Kind = FormToken::Kind;
using Pad = FormToken::Pad;

// What a form has read so far; -1 where nothing.
struct Fields {
    int hour24 = -1, hour12 = -1, minute = -1, second = -1, period = -1;
    int day = -1, month = -1, year = -1, weekday = -1;

    bool timeSet() const { return hour24 >= 0 || hour12 >= 0 || minute >= 0 || second >= 0 || period >= 0; }
    bool dateSet() const { return day >= 0 || month >= 0 || year >= 0 || weekday >= 0; }
};

constexpr int kUnknownPeriod = 2;  // the AM and PM words are the same
constexpr int kMaxSteps = 20000;   // a bound on backtracking over odd forms

// Where a form's number may end: the digits read and their value, longest
// first. The time form reads only what the locale writes ("07", "7" or
// " 7"; the blank may be gone when the text was trimmed); the date form
// takes a day or month of one or two digits whatever the padding.
struct Number {
    int value;
    std::size_t length;
};

std::vector<Number> numbersAt(std::string_view s, Kind kind, Pad pad, bool strict)
{
    std::vector<Number> out;
    const auto digits = [&s](std::size_t at, std::size_t n) -> std::optional<int> {
        if (at + n > s.size()) return std::nullopt;
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i) {
            if (!isDigit(s[i])) return std::nullopt;
            v = v * 10 + (s[i] - '0');
        }
        return v;
    };
    if (kind == Kind::Year4) {
        if (const auto v = digits(0, 4)) out.push_back({*v, 4});
        return out;
    }
    if (pad == Pad::Zero && (strict || kind == Kind::Year2)) {
        if (const auto v = digits(0, 2)) out.push_back({*v, 2});
        return out;
    }
    if (pad == Pad::Space && s.size() >= 2 && s[0] == ' ') {
        if (const auto v = digits(1, 1)) out.push_back({*v, 2});
    }
    if (const auto v = digits(0, 2); v && (!strict || s[0] != '0')) out.push_back({*v, 2});
    if (const auto v = digits(0, 1)) out.push_back({*v, 1});
    return out;
}

// Sets a field; false when the form already read another value there.
bool assign(int& field, int value)
{
    if (field >= 0 && field != value) return false;
    field = value;
    return true;
}

class FormMatcher {
public:
    // Called with what follows the form and the fields read; true ends the search.
    using Done = std::function<bool(std::string_view rest, const Fields&)>;

    FormMatcher(const Form& form, const LocaleWords& words, bool strict, Done done)
        : form_(form), words_(words), strict_(strict), done_(std::move(done))
    {
    }

    bool match(std::string_view s) { return step(0, s, Fields{}); }

private:
    bool step(std::size_t i, std::string_view s, Fields f)
    {
        if (++steps_ > kMaxSteps) return false;
        if (i == form_.size()) return done_(s, f);
        const FormToken& t = form_[i];
        switch (t.kind) {
        case Kind::Text:
        case Kind::Zone: return s.starts_with(t.text) && step(i + 1, s.substr(t.text.size()), f);
        case Kind::DayPeriod: {
            if (words_.am == words_.pm) {
                Fields g = f;
                return s.starts_with(words_.am) && assign(g.period, kUnknownPeriod) &&
                       step(i + 1, s.substr(words_.am.size()), g);
            }
            for (int period : {0, 1}) {
                const std::string& word = period == 0 ? words_.am : words_.pm;
                Fields g = f;
                if (s.starts_with(word) && assign(g.period, period) && step(i + 1, s.substr(word.size()), g))
                    return true;
            }
            return false;
        }
        case Kind::MonthName:
        case Kind::ShortMonthName:
        case Kind::Weekday:
        case Kind::ShortWeekday: return names(i, s, f);
        default: break;
        }
        for (const Number& n : numbersAt(s, t.kind, t.pad, strict_)) {
            Fields g = f;
            if (setNumber(t.kind, n.value, g) && step(i + 1, s.substr(n.length), g)) return true;
        }
        return false;
    }

    bool names(std::size_t i, std::string_view s, const Fields& f)
    {
        const Kind kind = form_[i].kind;
        const bool month = kind == Kind::MonthName || kind == Kind::ShortMonthName;
        const std::string* list = kind == Kind::MonthName        ? words_.months.data()
                                  : kind == Kind::ShortMonthName ? words_.shortMonths.data()
                                  : kind == Kind::Weekday        ? words_.weekdays.data()
                                                                 : words_.shortWeekdays.data();
        const int count = month ? 12 : 7;
        for (int k = 0; k < count; ++k) {
            const std::string& name = list[k];
            Fields g = f;
            if (!name.empty() && s.starts_with(name) && assign(month ? g.month : g.weekday, month ? k + 1 : k) &&
                step(i + 1, s.substr(name.size()), g))
                return true;
        }
        return false;
    }

    bool setNumber(Kind kind, int v, Fields& g) const
    {
        switch (kind) {
        case Kind::Hour24: return v <= 23 && assign(g.hour24, v);
        case Kind::Hour12: return v >= 1 && v <= 12 && assign(g.hour12, v);
        case Kind::Minute: return v <= 59 && assign(g.minute, v);
        case Kind::Second: return v <= 59 && assign(g.second, v);
        case Kind::Day: return v >= 1 && v <= 31 && assign(g.day, v);
        case Kind::Month: return v >= 1 && v <= 12 && assign(g.month, v);
        case Kind::Year2: {
            const int last = words_.lastTwoDigitYear;
            return assign(g.year, last - ((last % 100 - v + 100) % 100));
        }
        case Kind::Year4: return assign(g.year, v);
        default: return false;
        }
    }

    const Form& form_;
    const LocaleWords& words_;
    const bool strict_;
    Done done_;
    int steps_ = 0;
};

// The form without blanks at its two ends: the text it is matched with has
// been trimmed.
Form trimmed(Form form)
{
    if (!form.empty() && form.front().kind == Kind::Text) {
        std::string_view t = form.front().text;
        skipBlanks(t);
        form.front().text = std::string(t);
    }
    if (!form.empty() && form.back().kind == Kind::Text) {
        std::string& t = form.back().text;
        while (!t.empty() && isBlank(t.back()))
            t.pop_back();
    }
    return form;
}

std::optional<TimeOfDay> timeOf(const Fields& f)
{
    if (f.dateSet() || f.minute < 0 || (f.hour24 < 0 && f.hour12 < 0)) return std::nullopt;
    int hour = f.hour24;
    if (f.hour12 >= 0) {
        if (f.period != 0 && f.period != 1) return std::nullopt;
        const int h = f.hour12 % 12 + (f.period == 1 ? 12 : 0);
        if (hour >= 0 && hour != h) return std::nullopt;
        hour = h;
    } else if ((f.period == 0 && hour >= 12) || (f.period == 1 && hour < 12)) {
        return std::nullopt;
    }
    return TimeOfDay{hour, f.minute, f.second < 0 ? 0 : f.second};
}

std::optional<Date> dateOf(const Fields& f)
{
    if (f.timeSet() || f.day < 0 || f.month < 0 || f.year < 0) return std::nullopt;
    const Date d{f.year, f.month, f.day};
    if (!isValidDate(d)) return std::nullopt;
    // 1970-01-01 was a Thursday.
    if (f.weekday >= 0 && weekday(d) != f.weekday) return std::nullopt;
    return d;
}

// A time form, as the whole text.
std::optional<TimeOfDay> readForm(const Form& form, std::string_view s, const LocaleWords& words)
{
    std::optional<TimeOfDay> result;
    FormMatcher(trimmed(form), words, true, [&result](std::string_view rest, const Fields& f) {
        if (!rest.empty()) return false;
        result = timeOf(f);
        return result.has_value();
    }).match(s);
    return result;
}

// The form as typed: the hour with one digit or two, with or without the
// text before the first field and after the last.
std::optional<TimeOfDay> readTyped(Form form, std::string_view s, const LocaleWords& words)
{
    for (const Pad pad : {Pad::None, Pad::Zero}) {
        for (FormToken& t : form) {
            if (t.kind == Kind::Hour24 || t.kind == Kind::Hour12) t.pad = pad;
        }
        if (auto t = readForm(form, s, words)) return t;
        Form inner = form;
        if (!inner.empty() && inner.back().kind == Kind::Text) inner.pop_back();
        if (!inner.empty() && inner.front().kind == Kind::Text) inner.erase(inner.begin());
        if (inner.size() != form.size()) {
            if (auto t = readForm(inner, s, words)) return t;
        }
    }
    return std::nullopt;
}

// The locale's full time form as written, then as typed.
std::optional<TimeOfDay> readFormTime(std::string_view s, const LocaleWords& words)
{
    if (words.time.empty()) return std::nullopt;
    if (auto t = readForm(words.time, s, words)) return t;
    if (auto t = readTyped(words.time, s, words)) return t;
    return readTyped(withoutSeconds(words.time), s, words);
}

std::optional<TimeOfDay> readTime(std::string_view s, const LocaleWords& words)
{
    if (auto t = readDigitTime(s, words)) return t;
    return readFormTime(s, words);
}

// YYYY-MM-DD.
std::optional<Date> takeIsoDate(std::string_view& s)
{
    std::string_view r = s;
    const auto year = takeNumber(r, 4, 4);
    if (!year || !takeLiteral(r, "-")) return std::nullopt;
    const auto month = takeNumber(r, 2, 2);
    if (!month || !takeLiteral(r, "-")) return std::nullopt;
    const auto day = takeNumber(r, 2, 2);
    if (!day) return std::nullopt;
    const Date d{*year, *month, *day};
    if (!isValidDate(d)) return std::nullopt;
    s = r;
    return d;
}

// A date, one or more blanks (or "T" after an ISO date), then the time.
std::optional<TimeReading> readDated(std::string_view s, const LocaleWords& words)
{
    {
        std::string_view r = s;
        if (const auto date = takeIsoDate(r)) {
            if (takeLiteral(r, "T") || skipBlanks(r) > 0) {
                if (const auto time = readTime(r, words)) return TimeReading{date, *time};
            }
        }
    }
    if (words.date.empty()) return std::nullopt;
    std::optional<TimeReading> result;
    const Form form = trimmed(words.date);
    FormMatcher(form, words, false, [&](std::string_view rest, const Fields& f) {
        const auto date = dateOf(f);
        if (!date || skipBlanks(rest) == 0) return false;
        const auto time = readTime(rest, words);
        if (!time) return false;
        result = TimeReading{date, *time};
        return true;
    }).match(s);
    return result;
}

}  // namespace

std::optional<TimeReading> readTimeText(std::string_view text, const LocaleWords& words)
{
    const std::string_view s = trimBlanks(text);
    if (s.empty()) return std::nullopt;
    if (const auto time = readTime(s, words)) return TimeReading{std::nullopt, *time};
    return readDated(s, words);
}

}  // namespace bellwick
