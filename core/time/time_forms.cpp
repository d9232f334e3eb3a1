#include "time/time_forms.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace bellwick {

namespace {

using Kind = FormToken::Kind;
using Pad = FormToken::Pad;

void addText(Form& form, std::string_view text)
{
    if (text.empty()) return;
    if (!form.empty() && form.back().kind == Kind::Text) {
        form.back().text += text;
    } else {
        form.push_back({Kind::Text, Pad::Zero, std::string(text)});
    }
}

// --- strftime ---

// The token of a one-letter conversion and the pad it has without a flag.
std::optional<FormToken> strftimeField(char c)
{
    switch (c) {
    case 'H': return FormToken{Kind::Hour24, Pad::Zero, {}};
    case 'k': return FormToken{Kind::Hour24, Pad::Space, {}};
    case 'I': return FormToken{Kind::Hour12, Pad::Zero, {}};
    case 'l': return FormToken{Kind::Hour12, Pad::Space, {}};
    case 'M': return FormToken{Kind::Minute, Pad::Zero, {}};
    case 'S': return FormToken{Kind::Second, Pad::Zero, {}};
    case 'p': return FormToken{Kind::DayPeriod, Pad::Zero, {}};
    case 'd': return FormToken{Kind::Day, Pad::Zero, {}};
    case 'e': return FormToken{Kind::Day, Pad::Space, {}};
    case 'm': return FormToken{Kind::Month, Pad::Zero, {}};
    case 'y': return FormToken{Kind::Year2, Pad::Zero, {}};
    case 'Y': return FormToken{Kind::Year4, Pad::Zero, {}};
    case 'b':
    case 'h': return FormToken{Kind::ShortMonthName, Pad::Zero, {}};
    case 'B': return FormToken{Kind::MonthName, Pad::Zero, {}};
    case 'a': return FormToken{Kind::ShortWeekday, Pad::Zero, {}};
    case 'A': return FormToken{Kind::Weekday, Pad::Zero, {}};
    default: return std::nullopt;
    }
}

bool isNumber(Kind kind)
{
    switch (kind) {
    case Kind::Hour24:
    case Kind::Hour12:
    case Kind::Minute:
    case Kind::Second:
    case Kind::Day:
    case Kind::Month:
    case Kind::Year2:
    case Kind::Year4: return true;
    default: return false;
    }
}

// Appends the pattern's tokens; false when one cannot be expressed.
bool appendStrftime(Form& form, std::string_view pattern, const StrftimeParts& parts, int depth)
{
    if (depth > 3) return false;  // %r that names itself
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            addText(form, pattern.substr(i, 1));
            continue;
        }
        if (++i == pattern.size()) return false;
        std::optional<Pad> flag;
        if (pattern[i] == '-' || pattern[i] == '_' || pattern[i] == '0') {
            flag = pattern[i] == '-' ? Pad::None : pattern[i] == '_' ? Pad::Space : Pad::Zero;
            if (++i == pattern.size()) return false;
        }
        if (pattern[i] == 'E' || pattern[i] == 'O') {
            if ((pattern[i] == 'E' && parts.eras) || (pattern[i] == 'O' && parts.altDigits)) return false;
            // %OB and %Ob name months in another grammatical case.
            if (pattern[i] == 'O' && i + 1 < pattern.size() && (pattern[i + 1] == 'B' || pattern[i + 1] == 'b'))
                return false;
            if (++i == pattern.size()) return false;
        }
        const char c = pattern[i];
        std::string_view composite;
        switch (c) {
        case '%': addText(form, "%"); continue;
        case 'n': addText(form, "\n"); continue;
        case 't': addText(form, "\t"); continue;
        case 'Z': form.push_back({Kind::Zone, Pad::Zero, std::string(parts.zoneName)}); continue;
        case 'z': form.push_back({Kind::Zone, Pad::Zero, std::string(parts.zoneOffset)}); continue;
        case 'T': composite = "%H:%M:%S"; break;
        case 'R': composite = "%H:%M"; break;
        case 'D': composite = "%m/%d/%y"; break;
        case 'F': composite = "%Y-%m-%d"; break;
        case 'r': composite = parts.ampmPattern.empty() ? "%I:%M:%S %p" : parts.ampmPattern; break;
        default: break;
        }
        if (!composite.empty()) {
            if (flag || !appendStrftime(form, composite, parts, depth + 1)) return false;
            continue;
        }
        std::optional<FormToken> field = strftimeField(c);
        if (!field) return false;
        if (flag) {
            if (!isNumber(field->kind)) return false;
            field->pad = *flag;
        }
        form.push_back(*field);
    }
    return true;
}

// --- Windows pictures ---

// The token of a run of one picture letter, or nullopt.
std::optional<FormToken> pictureField(char c, std::size_t run)
{
    const auto number = [run](Kind kind) -> std::optional<FormToken> {
        if (run > 2) return std::nullopt;
        return FormToken{kind, run == 1 ? Pad::None : Pad::Zero, {}};
    };
    switch (c) {
    case 'h': return number(Kind::Hour12);
    case 'H': return number(Kind::Hour24);
    case 'm': return number(Kind::Minute);
    case 's': return number(Kind::Second);
    case 't':
        if (run == 2) return FormToken{Kind::DayPeriod, Pad::Zero, {}};
        return std::nullopt;
    case 'd':
        if (run == 3) return FormToken{Kind::ShortWeekday, Pad::Zero, {}};
        if (run == 4) return FormToken{Kind::Weekday, Pad::Zero, {}};
        return number(Kind::Day);
    case 'M':
        if (run == 3) return FormToken{Kind::ShortMonthName, Pad::Zero, {}};
        if (run == 4) return FormToken{Kind::MonthName, Pad::Zero, {}};
        return number(Kind::Month);
    case 'y':
        if (run == 4) return FormToken{Kind::Year4, Pad::Zero, {}};
        return number(Kind::Year2);
    default: return std::nullopt;
    }
}

bool isPictureLetter(char c)
{
    return c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't' || c == 'd' || c == 'M' || c == 'y' || c == 'g';
}

// --- the clock's form ---

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Punctuation that joins numbers, such as ":" or ".": no letters, digits,
// blanks or other scripts.
bool isSeparator(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c > ' ' && c < 0x7f && !(c >= '0' && c <= '9') && !(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z');
    });
}

// Adjacent texts merged, empty ones gone.
Form normalized(const Form& form)
{
    Form out;
    for (const FormToken& t : form) {
        if (t.kind == Kind::Text) {
            addText(out, t.text);
        } else {
            out.push_back(t);
        }
    }
    return out;
}

// Removes token i with the brackets around it and the blanks that joined
// it to the form: those before it, else those after it.
void dropJoined(Form& form, std::size_t i)
{
    std::string* before = i > 0 && form[i - 1].kind == Kind::Text ? &form[i - 1].text : nullptr;
    std::string* after = i + 1 < form.size() && form[i + 1].kind == Kind::Text ? &form[i + 1].text : nullptr;
    if (before && after && !before->empty() && !after->empty() &&
        ((before->back() == '(' && after->front() == ')') || (before->back() == '[' && after->front() == ']'))) {
        before->pop_back();
        after->erase(0, 1);
    }
    bool trimmed = false;
    while (before && !before->empty() && isBlank(before->back())) {
        before->pop_back();
        trimmed = true;
    }
    while (!trimmed && after && !after->empty() && isBlank(after->front()))
        after->erase(0, 1);
    form.erase(form.begin() + static_cast<std::ptrdiff_t>(i));
}

void dropAll(Form& form, Kind kind)
{
    for (std::size_t i = form.size(); i-- > 0;) {
        if (form[i].kind == kind) dropJoined(form, i);
    }
}

std::size_t find(const Form& form, Kind kind)
{
    return static_cast<std::size_t>(
        std::find_if(form.begin(), form.end(), [kind](const FormToken& t) { return t.kind == kind; }) - form.begin());
}

bool has(const Form& form, Kind kind) { return find(form, kind) < form.size(); }

Form plainClock()
{
    return {{Kind::Hour24, Pad::Zero, {}},
            {Kind::Text, Pad::Zero, ":"},
            {Kind::Minute, Pad::Zero, {}},
            {Kind::Text, Pad::Zero, ":"},
            {Kind::Second, Pad::Zero, {}}};
}

std::string padded(int v, Pad pad)
{
    const std::string digits = std::to_string(v);
    if (v >= 10 || pad == Pad::None) return digits;
    return (pad == Pad::Zero ? "0" : " ") + digits;
}

}  // namespace

Form clockForm(const Form& time, const LocaleWords& words)
{
    Form form = time;
    dropAll(form, Kind::Zone);
    if (words.am.empty() || words.pm.empty() || words.am == words.pm) dropAll(form, Kind::DayPeriod);
    if (!has(form, Kind::DayPeriod)) {
        for (FormToken& t : form) {
            if (t.kind == Kind::Hour12) t.kind = Kind::Hour24;
        }
    }
    form = normalized(form);
    for (Kind date : {Kind::Day, Kind::Month, Kind::MonthName, Kind::ShortMonthName, Kind::Weekday, Kind::ShortWeekday,
                      Kind::Year2, Kind::Year4}) {
        if (has(form, date)) return plainClock();
    }
    const std::size_t hour = std::min(find(form, Kind::Hour24), find(form, Kind::Hour12));
    const std::size_t minute = find(form, Kind::Minute);
    if (hour >= form.size() || minute >= form.size()) return plainClock();
    if (has(form, Kind::Second)) return form;
    std::string separator = ":";
    if (minute == hour + 2 && form[hour + 1].kind == Kind::Text && isSeparator(form[hour + 1].text))
        separator = form[hour + 1].text;
    const auto at = form.begin() + static_cast<std::ptrdiff_t>(minute + 1);
    form.insert(at, {{Kind::Text, Pad::Zero, separator}, {Kind::Second, Pad::Zero, {}}});
    return normalized(form);
}

Form withoutSeconds(const Form& time)
{
    Form form = normalized(time);
    const std::size_t second = find(form, Kind::Second);
    if (second >= form.size()) return form;
    const bool textBefore = second > 0 && form[second - 1].kind == Kind::Text;
    std::string* after =
        second + 1 < form.size() && form[second + 1].kind == Kind::Text ? &form[second + 1].text : nullptr;
    // The seconds' label: what follows them up to a blank, when that is a word.
    const std::size_t labelEnd = after ? std::min(after->find_first_of(" \t"), after->size()) : 0;
    if (textBefore && !isSeparator(form[second - 1].text) && labelEnd > 0 && !isSeparator(after->substr(0, labelEnd))) {
        after->erase(0, labelEnd);
        std::string& before = form[second - 1].text;
        if (after->empty() || isBlank(after->front())) {
            while (!before.empty() && isBlank(before.back()))
                before.pop_back();
        }
        form.erase(form.begin() + static_cast<std::ptrdiff_t>(second));
    } else {
        // The separator or label before them goes with them.
        const std::size_t first = textBefore ? second - 1 : second;
        form.erase(form.begin() + static_cast<std::ptrdiff_t>(first),
                   form.begin() + static_cast<std::ptrdiff_t>(second + 1));
    }
    return normalized(form);
}

std::string writeForm(const Form& form, const LocaleWords& words, const Date& date, const TimeOfDay& time)
{
    const auto day = static_cast<std::size_t>(weekday(date));
    const auto month = static_cast<std::size_t>(date.month - 1);
    std::string out;
    for (const FormToken& k : form) {
        switch (k.kind) {
        case Kind::Text:
        case Kind::Zone: out += k.text; break;
        case Kind::Hour24: out += padded(time.hour, k.pad); break;
        case Kind::Hour12: out += padded(time.hour % 12 == 0 ? 12 : time.hour % 12, k.pad); break;
        case Kind::Minute: out += padded(time.minute, k.pad); break;
        case Kind::Second: out += padded(time.second, k.pad); break;
        case Kind::DayPeriod: out += time.hour < 12 ? words.am : words.pm; break;
        case Kind::Day: out += padded(date.day, k.pad); break;
        case Kind::Month: out += padded(date.month, k.pad); break;
        case Kind::MonthName: out += words.months.at(month); break;
        case Kind::ShortMonthName: out += words.shortMonths.at(month); break;
        case Kind::Weekday: out += words.weekdays[day]; break;
        case Kind::ShortWeekday: out += words.shortWeekdays[day]; break;
        case Kind::Year2: out += padded((date.year % 100 + 100) % 100, k.pad); break;
        case Kind::Year4: out += std::to_string(date.year); break;
        }
    }
    return out;
}

Form formFromStrftime(std::string_view pattern, const StrftimeParts& parts)
{
    Form form;
    if (!appendStrftime(form, pattern, parts, 0)) return {};
    return form;
}

Form formFromWindowsPicture(std::string_view picture)
{
    Form form;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            // 'text', in which '' is a quote; '' outside one is a quote too.
            ++i;
            std::string text;
            if (i < picture.size() && picture[i] == '\'') {
                addText(form, "'");
                ++i;
                continue;
            }
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += picture[i++];
            }
            addText(form, text);
            continue;
        }
        if (!isPictureLetter(c)) {
            addText(form, picture.substr(i, 1));
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        const std::optional<FormToken> field = pictureField(c, run);
        if (!field) return {};
        form.push_back(*field);
        i += run;
    }
    return form;
}

}  // namespace bellwick
