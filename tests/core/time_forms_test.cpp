#include "time/time_forms.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

namespace bellwick {
namespace {

// A form as text: fields by name, with "0", "_" or "-" for zero, blank or
// no padding of numbers; text in quotes. "" for the empty form.
std::string describe(const Form& form)
{
    using Kind = FormToken::Kind;
    static const char* const kNames[] = {"",        "H24",  "H12",     "Min",   "Sec", "AmPm", "Day", "Mon",
                                         "MonName", "Mon3", "Weekday", "Wday3", "Y2",  "Y4",   "Zone"};
    std::string out;
    for (const FormToken& t : form) {
        if (!out.empty()) out += ' ';
        if (t.kind == Kind::Text) {
            out += "'" + t.text + "'";
            continue;
        }
        if (t.kind == Kind::Zone) {
            out += "Zone(" + t.text + ")";
            continue;
        }
        out += kNames[static_cast<int>(t.kind)];
        const bool number = t.kind != Kind::DayPeriod && t.kind != Kind::MonthName && t.kind != Kind::ShortMonthName &&
                            t.kind != Kind::Weekday && t.kind != Kind::ShortWeekday && t.kind != Kind::Year4 &&
                            t.kind != Kind::Zone;
        if (number) out += t.pad == FormToken::Pad::Zero ? "0" : t.pad == FormToken::Pad::Space ? "_" : "-";
    }
    return out;
}

TEST(TimeForms, StrftimePatterns)
{
    const StrftimeParts plain{"", "UTC", "+0100"};
    const struct {
        const char* pattern;
        StrftimeParts parts;
        const char* expected;
    } cases[] = {
        {"%H:%M:%S", plain, "H240 ':' Min0 ':' Sec0"},
        {"%T", plain, "H240 ':' Min0 ':' Sec0"},
        {"%R", plain, "H240 ':' Min0"},
        {"%r", plain, "H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"%r", {"%p %l.%M", "", ""}, "AmPm ' ' H12_ '.' Min0"},
        {"%k:%M:%S", plain, "H24_ ':' Min0 ':' Sec0"},
        {"%Z %I:%M:%S %p", plain, "Zone(UTC) ' ' H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"kl. %H.%M %z", plain, "'kl. ' H240 '.' Min0 ' ' Zone(+0100)"},
        {"%_H%%%-M%t%n", plain, "H24_ '%' Min- '\t\n'"},
        {"%OH:%OM", plain, "H240 ':' Min0"},
        {"%m/%d/%y", plain, "Mon0 '/' Day0 '/' Y20"},
        {"%D", plain, "Mon0 '/' Day0 '/' Y20"},
        {"%F", plain, "Y4 '-' Mon0 '-' Day0"},
        {"%-d/%-m/%y", plain, "Day- '/' Mon- '/' Y20"},
        {"%e.%m.%Y", plain, "Day_ '.' Mon0 '.' Y4"},
        {"%A %d %b %Y", plain, "Weekday ' ' Day0 ' ' Mon3 ' ' Y4"},
        {"%a, %B %0e %Ey", plain, "Wday3 ', ' MonName ' ' Day0 ' ' Y20"},
        // What the tokens cannot express gives no form.
        {"%OH:%OM", {"", "", "", true, false}, ""},
        {"%d/%m/%Ey", {"", "", "", false, true}, ""},
        {"%d %OB %Y", plain, ""},
        {"%I:%M %P", plain, ""},
        {"%^p %I:%M", plain, ""},
        {"%-p %I:%M", plain, ""},
        {"%C%y", plain, ""},
        {"%H:%M:%S %", plain, ""},
        {"%r", {"%r", "", ""}, ""},
        {"%10H", plain, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(formFromStrftime(c.pattern, c.parts)), c.expected) << c.pattern;
}

TEST(TimeForms, WindowsPictures)
{
    const struct {
        const char* picture;
        const char* expected;
    } cases[] = {
        {"h:mm:ss tt", "H12- ':' Min0 ':' Sec0 ' ' AmPm"},
        {"HH:mm:ss", "H240 ':' Min0 ':' Sec0"},
        {"tt hh:mm:ss", "AmPm ' ' H120 ':' Min0 ':' Sec0"},
        {"H.mm' Uhr'", "H24- '.' Min0 ' Uhr'"},
        {"H 'h' m 'min' s 's'", "H24- ' h ' Min- ' min ' Sec- ' s'"},
        {"'o''clock' h", "'o'clock ' H12-"},
        {"h''m", "H12- ''' Min-"},
        {"M/d/yyyy", "Mon- '/' Day- '/' Y4"},
        {"dd.MM.yyyy", "Day0 '.' Mon0 '.' Y4"},
        {"d/M/yy", "Day- '/' Mon- '/' Y20"},
        {"y-M-d", "Y2- '-' Mon- '-' Day-"},
        {"dddd, MMMM d, yyyy", "Weekday ', ' MonName ' ' Day- ', ' Y4"},
        {"ddd d MMM", "Wday3 ' ' Day- ' ' Mon3"},
        {"yyyy'\xe5\xb9\xb4'M'\xe6\x9c\x88'd'\xe6\x97\xa5'",
         "Y4 '\xe5\xb9\xb4' Mon- '\xe6\x9c\x88' Day- '\xe6\x97\xa5'"},
        {"'unclosed", "'unclosed'"},
        // What the tokens cannot express gives no form.
        {"t h:mm", ""},
        {"hhh:mm", ""},
        {"gg yyyy", ""},
        {"yyy", ""},
        {"ddddd", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(formFromWindowsPicture(c.picture)), c.expected) << c.picture;
}

LocaleWords dayPeriods(const char* am, const char* pm)
{
    LocaleWords w;
    w.am = am;
    w.pm = pm;
    return w;
}

// glibc's time forms (T_FMT) as the clock writes them.
TEST(TimeForms, ClockForms)
{
    const StrftimeParts plain{"", "IST", "+0530"};
    const LocaleWords ampm = dayPeriods("AM", "PM");
    const LocaleWords none = dayPeriods("", "");
    const LocaleWords same = dayPeriods("AM", "AM");
    const struct {
        const char* pattern;
        const LocaleWords& words;
        const char* expected;
    } cases[] = {
        // Seconds and no zone: unchanged.
        {"%H:%M:%S", none, "H240 ':' Min0 ':' Sec0"},
        {"%r", ampm, "H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"%p %I\xe6\x99\x82%M\xe5\x88\x86%S\xe7\xa7\x92", ampm,
         "AmPm ' ' H120 '\xe6\x99\x82' Min0 '\xe5\x88\x86' Sec0 '\xe7\xa7\x92'"},
        // Seconds with the locale's separator; the zone and its blank gone.
        {"kl. %H.%M %z", none, "'kl. ' H240 '.' Min0 '.' Sec0"},
        {"%R", ampm, "H240 ':' Min0 ':' Sec0"},
        {"%H h %M", none, "H240 ' h ' Min0 ':' Sec0"},
        {"%I:%M:%S %p %Z", ampm, "H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"%Z %I:%M:%S %p", ampm, "H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"%p%I.%M.%S %Z", ampm, "AmPm H120 '.' Min0 '.' Sec0"},
        {"%I:%M:%S %Z %p", ampm, "H120 ':' Min0 ':' Sec0 ' ' AmPm"},
        {"%H:%M:%S (%Z)", none, "H240 ':' Min0 ':' Sec0"},
        // Day-period words that cannot tell the halves apart: 24 hours.
        {"%I:%M:%S %p %Z", none, "H240 ':' Min0 ':' Sec0"},
        {"%r", same, "H240 ':' Min0 ':' Sec0"},
        {"%l:%M", ampm, "H24_ ':' Min0 ':' Sec0"},
        // Nothing a clock can be written in.
        {"", none, "H240 ':' Min0 ':' Sec0"},
        {"%H", none, "H240 ':' Min0 ':' Sec0"},
        {"%d.%m. %H:%M", none, "H240 ':' Min0 ':' Sec0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(clockForm(formFromStrftime(c.pattern, plain), c.words)), c.expected) << c.pattern;
    // Windows' time pictures, several without seconds.
    const std::remove_reference_t<decltype(cases[0])> pictures[] = {
        {"h:mm tt", ampm, "H12- ':' Min0 ':' Sec0 ' ' AmPm"},
        {"tt hh:mm", ampm, "AmPm ' ' H120 ':' Min0 ':' Sec0"},
        {"HH.mm", none, "H240 '.' Min0 '.' Sec0"},
        // A letter is no separator.
        {"H'h'mm", none, "H24- 'h' Min0 ':' Sec0"},
        {"HH 'Uhr'", none, "H240 ':' Min0 ':' Sec0"},
    };
    for (const auto& c : pictures)
        EXPECT_EQ(describe(clockForm(formFromWindowsPicture(c.pattern), c.words)), c.expected) << c.pattern;
}

TEST(TimeForms, WithoutSeconds)
{
    const StrftimeParts plain{"", "UTC", "+0000"};
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"%H.%M.%S", "H240 '.' Min0"},
        {"%r", "H120 ':' Min0 ' ' AmPm"},
        {"%H:%M", "H240 ':' Min0"},
        // A label after the seconds goes with them, and the blank before them.
        {"%H\xe6\x99\x82%M\xe5\x88\x86%S\xe7\xa7\x92", "H240 '\xe6\x99\x82' Min0 '\xe5\x88\x86'"},
        {"%H\xec\x8b\x9c %M\xeb\xb6\x84 %S\xec\xb4\x88", "H240 '\xec\x8b\x9c ' Min0 '\xeb\xb6\x84'"},
        // A label before them goes with them.
        {"T%Hm%Ms%S", "'T' H240 'm' Min0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(describe(withoutSeconds(formFromStrftime(c.pattern, plain))), c.expected) << c.pattern;
}

}  // namespace
}  // namespace bellwick
