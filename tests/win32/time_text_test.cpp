// Win32TimeText under the user locale Wine takes from LC_ALL: each case
// names its locale, and ctest runs it with that locale pinned (CMakeLists).
#include "win32/utf16.h"
#include "win32/win32_time_text.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace bellwick {

// Found by GoogleTest through the argument's namespace.
void PrintTo(const TimeReading& r, std::ostream* os)
{
    if (r.date) *os << r.date->year << '-' << r.date->month << '-' << r.date->day << ' ';
    *os << r.time.hour << ':' << r.time.minute << ':' << r.time.second;
}

namespace {

std::string userLocale()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return win32::toUtf8(name);
}

// --- writing ---

struct FormatCase {
    const char* name;
    const char* locale;
    TimeOfDay time;
    std::string text;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }

class TimeFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(TimeFormat, IsTheLocalesLongTimeWithSecondsAndReadsBack)
{
    ASSERT_EQ(userLocale(), GetParam().locale);
    const Win32TimeText text;
    EXPECT_EQ(text.format(GetParam().time), GetParam().text);
    EXPECT_EQ(text.read(GetParam().text), (TimeReading{std::nullopt, GetParam().time}));
}

INSTANTIATE_TEST_SUITE_P(Times, TimeFormat,
                         ::testing::Values(FormatCase{"en_US_Evening", "en-US", {19, 5, 9}, "7:05:09 PM"},
                                           FormatCase{"en_US_Midnight", "en-US", {0, 0, 0}, "12:00:00 AM"},
                                           FormatCase{"en_US_Noon", "en-US", {12, 30, 59}, "12:30:59 PM"},
                                           FormatCase{"de_DE_Evening", "de-DE", {19, 5, 9}, "19:05:09"},
                                           FormatCase{"de_DE_Midnight", "de-DE", {0, 0, 0}, "00:00:00"},
                                           FormatCase{"de_DE_Morning", "de-DE", {7, 5, 9}, "07:05:09"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every minute of the day, each with another second, reads back as written.
class TimeRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(TimeRoundTrip, EveryMinuteOfTheDay)
{
    ASSERT_EQ(userLocale(), GetParam());
    const Win32TimeText text;
    for (int minute = 0; minute < 24 * 60; ++minute) {
        const TimeOfDay t{minute / 60, minute % 60, (minute * 7) % 60};
        const std::string written = text.format(t);
        ASSERT_EQ(text.read(written), (TimeReading{std::nullopt, t})) << written;
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, TimeRoundTrip, ::testing::Values("en-US", "de-DE"), [](const auto& info) {
    std::string name = info.param;
    name[2] = '_';
    return name;
});

// --- reading what the user typed ---

struct ReadCase {
    const char* name;
    const char* locale;
    std::string text;
    std::optional<TimeReading> reading;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class TimeRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TimeRead, TakesTheLocalesFormsAndNothingElse)
{
    ASSERT_EQ(userLocale(), GetParam().locale);
    EXPECT_EQ(Win32TimeText().read(GetParam().text), GetParam().reading);
}

constexpr Date kMarch5{2024, 3, 5};

INSTANTIATE_TEST_SUITE_P(
    Texts, TimeRead,
    ::testing::Values(ReadCase{"en_US_ShortTwelveHour", "en-US", "7:05 pm", TimeReading{std::nullopt, {19, 5, 0}}},
                      ReadCase{"en_US_TwentyFourHour", "en-US", " 19:05 ", TimeReading{std::nullopt, {19, 5, 0}}},
                      ReadCase{"en_US_ShortDate", "en-US", "3/5/2024 7:05:09 PM", TimeReading{kMarch5, {19, 5, 9}}},
                      ReadCase{"en_US_IsoDate", "en-US", "2024-03-05T07:00", TimeReading{kMarch5, {7, 0, 0}}},
                      ReadCase{"en_US_GermanDate", "en-US", "5.3.2024 19:05", std::nullopt},
                      ReadCase{"en_US_HourBeyondTwelve", "en-US", "13:00 PM", std::nullopt},
                      ReadCase{"en_US_UnknownWord", "en-US", "7:05:09 XM", std::nullopt},
                      ReadCase{"en_US_Empty", "en-US", "", std::nullopt},
                      ReadCase{"de_DE_Plain", "de-DE", "7:05", TimeReading{std::nullopt, {7, 5, 0}}},
                      ReadCase{"de_DE_ShortDate", "de-DE", "5.3.2024 19:05:09", TimeReading{kMarch5, {19, 5, 9}}},
                      ReadCase{"de_DE_PaddedDate", "de-DE", "05.03.2024 7:00", TimeReading{kMarch5, {7, 0, 0}}},
                      ReadCase{"de_DE_AmericanDate", "de-DE", "3/5/2024 19:05", std::nullopt},
                      ReadCase{"de_DE_NoSuchDay", "de-DE", "31.2.2024 19:05", std::nullopt},
                      ReadCase{"de_DE_Words", "de-DE", "halb acht", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
