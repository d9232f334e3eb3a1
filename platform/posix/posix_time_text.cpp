#include "posix/posix_time_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <langinfo.h>
#include <string>
#include <vector>

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

bool isValidTime(const TimeOfDay& t)
{
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::tm makeTm(const Date& d, const TimeOfDay& t)
{
    std::tm tm{};
    tm.tm_year = d.year - 1900;
    tm.tm_mon = d.month - 1;
    tm.tm_mday = d.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    const std::int64_t days = daysFromCivil(d);
    // 1970-01-01 was a Thursday.
    tm.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
    tm.tm_yday = static_cast<int>(days - daysFromCivil({d.year, 1, 1}));
    tm.tm_isdst = 0;
    return tm;
}

std::string formatTm(const char* format, const std::tm& tm)
{
    // strftime returns 0 both for "too small" and for an empty result.
    for (std::size_t size = 64; size <= 4096; size *= 2) {
        std::vector<char> buf(size);
        const std::size_t n = std::strftime(buf.data(), buf.size(), format, &tm);
        if (n > 0) return std::string(buf.data(), n);
    }
    return {};
}

// --- time of day ---

struct DayPeriodWords {
    std::string am, pm;
    // Without two distinct words the 12-hour forms cannot be told apart.
    bool usable() const { return !am.empty() && !pm.empty() && !equalsIgnoringAsciiCase(am, pm); }
};

DayPeriodWords localeDayPeriodWords() { return {nl_langinfo(AM_STR), nl_langinfo(PM_STR)}; }

// "H:MM", "H:MM:SS", each 24-hour or followed by the AM/PM word.
std::optional<TimeOfDay> readDigitTime(std::string_view s, const DayPeriodWords& words)
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
    if (!words.usable() || *hour < 1 || *hour > 12) return std::nullopt;
    bool pm = false;
    if (equalsIgnoringAsciiCase(s, words.pm)) {
        pm = true;
    } else if (!equalsIgnoringAsciiCase(s, words.am)) {
        return std::nullopt;
    }
    return TimeOfDay{*hour % 12 + (pm ? 12 : 0), *minute, second};
}

std::string formatTime(const TimeOfDay& t) { return formatTm("%X", makeTm({2000, 1, 1}, t)); }

// The locale's own %X form, for locales whose form the digit reader does
// not cover; taken only when formatting the result gives the text back,
// since strptime is lenient.
std::optional<TimeOfDay> readLocaleTime(std::string_view s)
{
    if (s.empty() || s.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string text(s);
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%X", &tm);
    if (end == nullptr || *end != '\0') return std::nullopt;
    const TimeOfDay t{tm.tm_hour, tm.tm_min, tm.tm_sec};
    if (!isValidTime(t) || formatTime(t) != s) return std::nullopt;
    return t;
}

std::optional<TimeOfDay> readTime(std::string_view s, const DayPeriodWords& words)
{
    if (auto t = readDigitTime(s, words)) return t;
    return readLocaleTime(s);
}

// --- dates ---

// POSIX %y: 69-99 are 19xx, 00-68 are 20xx.
int fullYear(int twoDigits) { return twoDigits >= 69 ? 1900 + twoDigits : 2000 + twoDigits; }

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

// The locale's %x as three number fields between fixed texts, e.g.
// "" M "/" D "/" Y2 "" for "11/22/33".
struct DateForm {
    enum class Field { Year4, Year2, Month, Day };
    std::array<Field, 3> fields{};
    std::array<std::string, 4> literals;
};

std::optional<Date> takeFormDate(std::string_view& s, const DateForm& form)
{
    std::string_view r = s;
    Date d{0, 0, 0};
    for (std::size_t i = 0; i < form.fields.size(); ++i) {
        if (!takeLiteral(r, form.literals[i])) return std::nullopt;
        switch (form.fields[i]) {
        case DateForm::Field::Year4: {
            const auto v = takeNumber(r, 4, 4);
            if (!v) return std::nullopt;
            d.year = *v;
            break;
        }
        case DateForm::Field::Year2: {
            const auto v = takeNumber(r, 2, 2);
            if (!v) return std::nullopt;
            d.year = fullYear(*v);
            break;
        }
        case DateForm::Field::Month: {
            const auto v = takeNumber(r, 1, 2);
            if (!v) return std::nullopt;
            d.month = *v;
            break;
        }
        case DateForm::Field::Day: {
            const auto v = takeNumber(r, 1, 2);
            if (!v) return std::nullopt;
            d.day = *v;
            break;
        }
        }
    }
    if (!takeLiteral(r, form.literals[3]) || !isValidDate(d)) return std::nullopt;
    s = r;
    return d;
}

std::string formatDate(const Date& d) { return formatTm("%x", makeTm(d, {})); }

// Finds where year, month and day land in the %x form of a known date.
// nullopt when the form is not three plain numbers (month names,
// other digits, eras).
std::optional<DateForm> localeDateForm()
{
    const std::string sample = formatDate({2033, 11, 22});
    DateForm form;
    std::size_t fieldCount = 0;
    bool seenYear = false, seenMonth = false, seenDay = false;
    std::size_t i = 0;
    while (i < sample.size()) {
        const std::size_t start = i;
        if (!isDigit(sample[i])) {
            while (i < sample.size() && !isDigit(sample[i]))
                ++i;
            if (fieldCount > 3) return std::nullopt;
            form.literals[fieldCount] = sample.substr(start, i - start);
            continue;
        }
        while (i < sample.size() && isDigit(sample[i]))
            ++i;
        if (fieldCount == 3) return std::nullopt;
        const std::string_view run(sample.data() + start, i - start);
        DateForm::Field field;
        if (run == "2033" && !seenYear) {
            field = DateForm::Field::Year4;
            seenYear = true;
        } else if (run == "33" && !seenYear) {
            field = DateForm::Field::Year2;
            seenYear = true;
        } else if (run == "11" && !seenMonth) {
            field = DateForm::Field::Month;
            seenMonth = true;
        } else if (run == "22" && !seenDay) {
            field = DateForm::Field::Day;
            seenDay = true;
        } else {
            return std::nullopt;
        }
        form.fields[fieldCount++] = field;
    }
    if (fieldCount != 3) return std::nullopt;

    // Fixed texts that are really names (weekdays) would differ on
    // another date; a second date, another weekday, must read back too.
    const Date check{2031, 3, 5};
    const std::string checkText = formatDate(check);
    std::string_view r = checkText;
    const auto read = takeFormDate(r, form);
    if (!read || *read != check || !r.empty()) return std::nullopt;
    return form;
}

// %x by strptime, for locales without a plain numeric form; only taken
// when the date formats back to the very text read.
std::optional<Date> takeStrptimeDate(std::string_view& s)
{
    if (s.empty() || s.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string text(s);
    std::tm tm{};
    const char* end = strptime(text.c_str(), "%x", &tm);
    if (end == nullptr) return std::nullopt;
    const auto used = static_cast<std::size_t>(end - text.c_str());
    if (tm.tm_year < -1900 || tm.tm_year > 9999 - 1900) return std::nullopt;
    const Date d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    if (!isValidDate(d) || formatDate(d) != s.substr(0, used)) return std::nullopt;
    s.remove_prefix(used);
    return d;
}

std::optional<Date> takeLocaleDate(std::string_view& s)
{
    if (const auto form = localeDateForm()) return takeFormDate(s, *form);
    return takeStrptimeDate(s);
}

// A date, one or more blanks (or "T" after an ISO date), then the time.
std::optional<TimeReading> readDated(std::string_view s, const DayPeriodWords& words)
{
    {
        std::string_view r = s;
        if (const auto date = takeIsoDate(r)) {
            if (takeLiteral(r, "T") || skipBlanks(r) > 0) {
                if (const auto time = readTime(r, words)) return TimeReading{date, *time};
            }
        }
    }
    std::string_view r = s;
    if (const auto date = takeLocaleDate(r)) {
        if (skipBlanks(r) > 0) {
            if (const auto time = readTime(r, words)) return TimeReading{date, *time};
        }
    }
    return std::nullopt;
}

}  // namespace

std::string PosixTimeText::format(const TimeOfDay& t) const { return formatTime(t); }

std::optional<TimeReading> PosixTimeText::read(std::string_view text) const
{
    const std::string_view s = trimBlanks(text);
    if (s.empty()) return std::nullopt;
    const DayPeriodWords words = localeDayPeriodWords();
    if (const auto time = readTime(s, words)) return TimeReading{std::nullopt, *time};
    return readDated(s, words);
}

}  // namespace bellwick
