#include "rules/time_forms.h"

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
        case 'Z': addText(form, parts.zoneName); continue;
        case 'z': addText(form, parts.zoneOffset); continue;
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

}  // namespace

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
