#include "posix/posix_time_text.h"
#include "posix/scoped_locale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>
#include <ostream>
#include <string>

namespace bellwick {

void PrintTo(const TimeReading& r, std::ostream* os)
{
    if (r.date) *os << r.date->year << '-' << r.date->month << '-' << r.date->day << ' ';
    *os << r.time.hour << ':' << r.time.minute << ':' << r.time.second;
}

namespace {

const char* const kC = "C";
const char* const kEnUs = "en_US.UTF-8";
const char* const kDeDe = "de_DE.UTF-8";
const char* const kNbNo = "nb_NO.UTF-8";
const char* const kFiFi = "fi_FI.UTF-8";
const char* const kEnIn = "en_IN.UTF-8";

// One object for every locale: it must not cache what it read from one.
const PosixTimeText& timeText()
{
    static const PosixTimeText instance;
    return instance;
}

#define PIN_LOCALE(name)                                                                                               \
    ScopedLocale pinned(name);                                                                                         \
    if (!pinned.ok()) GTEST_SKIP() << "locale " << (name) << " not installed"

TimeReading at(int h, int m, int s = 0) { return {std::nullopt, {h, m, s}}; }
TimeReading on(Date d, int h, int m, int s = 0) { return {d, {h, m, s}}; }

// --- format ---

struct FormatCase {
    const char* locale;
    TimeOfDay time;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.locale << ' ' << c.expected; }

// "de_DE.UTF-8" as "de_DE_UTF_8".
std::string testName(std::string s)
{
    for (char& c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return s;
}

class Format : public testing::TestWithParam<FormatCase> {};

TEST_P(Format, WritesTheLocalesFullTimeForm)
{
    const FormatCase& c = GetParam();
    PIN_LOCALE(c.locale);
    EXPECT_EQ(timeText().format(c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, Format,
    testing::Values(FormatCase{kC, {19, 5, 9}, "19:05:09"}, FormatCase{kC, {0, 0, 0}, "00:00:00"},
                    FormatCase{kC, {23, 59, 59}, "23:59:59"}, FormatCase{kEnUs, {19, 5, 9}, "07:05:09 PM"},
                    FormatCase{kEnUs, {0, 0, 0}, "12:00:00 AM"}, FormatCase{kEnUs, {12, 30, 0}, "12:30:00 PM"},
                    FormatCase{kEnUs, {11, 59, 59}, "11:59:59 AM"}, FormatCase{kDeDe, {19, 5, 9}, "19:05:09"},
                    FormatCase{kDeDe, {7, 0, 0}, "07:00:00"}, FormatCase{kFiFi, {7, 0, 0}, "07.00.00"},
                    // %X without seconds, with a zone, or in 12 hours without AM/PM words.
                    FormatCase{kNbNo, {19, 5, 9}, "kl. 19.05.09"}, FormatCase{"nn_NO.UTF-8", {7, 0, 0}, "kl. 07.00.00"},
                    FormatCase{"ff_SN.UTF-8", {7, 5, 9}, "07:05:09"}, FormatCase{kEnIn, {0, 0, 0}, "12:00:00 AM"},
                    FormatCase{"ar_SS.UTF-8", {19, 5, 9}, "07:05:09 \xd9\x85"},
                    FormatCase{"mt_MT.UTF-8", {19, 5, 9}, "19:05:09"},
                    FormatCase{"hy_AM.UTF-8", {19, 5, 9}, "19:05:09"},
                    // The locale's own digits, which the reader does not take.
                    FormatCase{"fa_IR.UTF-8", {19, 5, 9}, "19:05:09"}),
    [](const testing::TestParamInfo<FormatCase>& info) {
        const TimeOfDay& t = info.param.time;
        char at[16];
        std::snprintf(at, sizeof at, "_at_%02d%02d%02d", t.hour, t.minute, t.second);
        return testName(info.param.locale) + at;
    });

// --- round trips ---

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, SecondsAllDayReadBack)
{
    PIN_LOCALE(GetParam());
    int failures = 0;
    // Every 11th second (11 is prime to 60: every hour, minute and second
    // value comes up) and the last one of the day.
    for (int step = 0; step < 86400 + 11 && failures < 5; step += 11) {
        const int s = std::min(step, 86399);
        const TimeOfDay t{s / 3600, s / 60 % 60, s % 60};
        const std::string text = timeText().format(t);
        const auto reading = timeText().read(text);
        if (reading != std::optional<TimeReading>(at(t.hour, t.minute, t.second))) {
            ADD_FAILURE() << "\"" << text << "\" did not read back as second " << s;
            ++failures;
        }
    }
}

// The locale's own %x form of every date it can name, before a time.
TEST_P(RoundTrip, EveryDatesLocaleFormReadsBack)
{
    PIN_LOCALE(GetParam());
    int failures = 0;
    // 2000-2068 is where a two-digit year is unambiguous.
    const std::int64_t first = daysFromCivil({2000, 1, 1});
    const std::int64_t last = daysFromCivil({2068, 12, 31});
    for (std::int64_t day = first; day <= last && failures < 5; ++day) {
        const Date d = civilFromDays(day);
        std::tm tm{};
        tm.tm_year = d.year - 1900;
        tm.tm_mon = d.month - 1;
        tm.tm_mday = d.day;
        tm.tm_wday = static_cast<int>((day + 4) % 7);
        char buf[64];
        const std::size_t n = std::strftime(buf, sizeof buf, "%x", &tm);
        const std::string text = std::string(buf, n) + " " + timeText().format({6, 30, 0});
        const auto reading = timeText().read(text);
        if (reading != std::optional<TimeReading>(on(d, 6, 30))) {
            ADD_FAILURE() << "\"" << text << "\" did not read back";
            ++failures;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, testing::Values(kC, kEnUs, kDeDe, kNbNo, kFiFi, kEnIn),
                         [](const testing::TestParamInfo<const char*>& info) { return testName(info.param); });

// --- alarms typed in the locale's own separators ---

TEST(PosixTimeText, ReadsAlarmsTypedInTheLocalesOwnSeparators)
{
    const struct {
        const char* locale;
        const char* text;
        std::optional<TimeReading> expected;
    } cases[] = {
        {kFiFi, "7.00", at(7, 0)},     {kFiFi, "07.00.00", at(7, 0)}, {kFiFi, "7.0", std::nullopt},
        {kNbNo, "7.05", at(7, 5)},     {kNbNo, "kl. 7.05", at(7, 5)}, {kNbNo, "kl. 19.05 +0000", std::nullopt},
        {kDeDe, "7.00", std::nullopt}, {kEnIn, "7:05 PM", at(19, 5)}, {kEnIn, "07:05:09 PM IST", std::nullopt},
    };
    for (const auto& c : cases) {
        PIN_LOCALE(c.locale);
        EXPECT_EQ(timeText().read(c.text), c.expected) << c.locale << " \"" << c.text << '"';
    }
}

// The grammar itself is tested in the core (tests/core/time_reader_test.cpp)
// with these locales' words built by hand.

// --- locale in force ---

TEST(PosixTimeText, FollowsTheLocaleInForceAtEachCall)
{
    {
        PIN_LOCALE(kEnUs);
        ASSERT_EQ(timeText().read("7:00 pm"), std::optional<TimeReading>(at(19, 0)));
        ASSERT_EQ(timeText().read("12/08/2026 07:00"), std::optional<TimeReading>(on({2026, 12, 8}, 7, 0)));
    }
    {
        PIN_LOCALE(kDeDe);
        EXPECT_EQ(timeText().read("7:00 pm"), std::nullopt);
        EXPECT_EQ(timeText().read("12/08/2026 07:00"), std::nullopt);
        EXPECT_EQ(timeText().format({19, 0, 0}), "19:00:00");
    }
}

}  // namespace
}  // namespace bellwick
