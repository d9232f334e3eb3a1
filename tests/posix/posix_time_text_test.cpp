#include "posix/posix_time_text.h"
#include "posix/scoped_locale.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

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
                    FormatCase{kDeDe, {7, 0, 0}, "07:00:00"}));

// --- round trips ---

class RoundTrip : public testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, EverySecondOfTheDayReadsBack)
{
    PIN_LOCALE(GetParam());
    int failures = 0;
    for (int s = 0; s < 86400 && failures < 5; ++s) {
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

INSTANTIATE_TEST_SUITE_P(Locales, RoundTrip, testing::Values(kC, kEnUs, kDeDe));

// --- accepted ---

struct AcceptCase {
    const char* locale;
    const char* text;
    TimeReading expected;
};

void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.locale << " \"" << c.text << '"'; }

class Accepts : public testing::TestWithParam<AcceptCase> {};

TEST_P(Accepts, ReadsTheFields)
{
    const AcceptCase& c = GetParam();
    PIN_LOCALE(c.locale);
    EXPECT_EQ(timeText().read(c.text), std::optional<TimeReading>(c.expected)) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(C, Accepts,
                         testing::Values(AcceptCase{kC, "07:00", at(7, 0)}, AcceptCase{kC, "7:00", at(7, 0)},
                                         AcceptCase{kC, "19:05", at(19, 5)}, AcceptCase{kC, "19:05:09", at(19, 5, 9)},
                                         AcceptCase{kC, "0:00", at(0, 0)}, AcceptCase{kC, "23:59:59", at(23, 59, 59)},
                                         AcceptCase{kC, " \t07:00\t ", at(7, 0)}, AcceptCase{kC, "7:00 pm", at(19, 0)},
                                         AcceptCase{kC, "7:00PM", at(19, 0)}, AcceptCase{kC, "7:00  Pm", at(19, 0)},
                                         AcceptCase{kC, "07:05:09 am", at(7, 5, 9)},
                                         AcceptCase{kC, "12:00 AM", at(0, 0)},
                                         AcceptCase{kC, "12:59:59 am", at(0, 59, 59)},
                                         AcceptCase{kC, "12:30 PM", at(12, 30)}, AcceptCase{kC, "11:59 pM", at(23, 59)},
                                         AcceptCase{kC, "1:00 aM", at(1, 0)},
                                         AcceptCase{kC, "12/08/26 07:00", on({2026, 12, 8}, 7, 0)},
                                         AcceptCase{kC, "12/08/26   7:00 pm", on({2026, 12, 8}, 19, 0)},
                                         AcceptCase{kC, "12/31/69 23:59:59", on({1969, 12, 31}, 23, 59, 59)},
                                         AcceptCase{kC, "01/01/68 00:00", on({2068, 1, 1}, 0, 0)},
                                         AcceptCase{kC, "02/29/00 00:00", on({2000, 2, 29}, 0, 0)},
                                         AcceptCase{kC, "2/3/26 07:00", on({2026, 2, 3}, 7, 0)},
                                         AcceptCase{kC, "2026-12-08 07:00", on({2026, 12, 8}, 7, 0)},
                                         AcceptCase{kC, "2026-12-08T07:00", on({2026, 12, 8}, 7, 0)},
                                         AcceptCase{kC, "2026-12-08\t 19:05:09", on({2026, 12, 8}, 19, 5, 9)},
                                         AcceptCase{kC, "2024-02-29 7:00 PM", on({2024, 2, 29}, 19, 0)},
                                         AcceptCase{kC, "2000-02-29 07:00", on({2000, 2, 29}, 7, 0)}));

INSTANTIATE_TEST_SUITE_P(EnUs, Accepts,
                         testing::Values(AcceptCase{kEnUs, "07:05:09 PM", at(19, 5, 9)},
                                         AcceptCase{kEnUs, "12:00:00 AM", at(0, 0)},
                                         AcceptCase{kEnUs, "7:00 pm", at(19, 0)}, AcceptCase{kEnUs, "7:00am", at(7, 0)},
                                         AcceptCase{kEnUs, "19:05", at(19, 5)}, AcceptCase{kEnUs, "07:00", at(7, 0)},
                                         AcceptCase{kEnUs, "12/08/2026 07:00:00 AM", on({2026, 12, 8}, 7, 0)},
                                         AcceptCase{kEnUs, "12/08/2026 19:05", on({2026, 12, 8}, 19, 5)},
                                         AcceptCase{kEnUs, "2/3/2026 7:00", on({2026, 2, 3}, 7, 0)},
                                         AcceptCase{kEnUs, "02/29/2024 12:30 PM", on({2024, 2, 29}, 12, 30)},
                                         AcceptCase{kEnUs, "2026-12-08 07:00 pm", on({2026, 12, 8}, 19, 0)}));

INSTANTIATE_TEST_SUITE_P(DeDe, Accepts,
                         testing::Values(AcceptCase{kDeDe, "19:05:09", at(19, 5, 9)},
                                         AcceptCase{kDeDe, "7:00", at(7, 0)}, AcceptCase{kDeDe, "00:00", at(0, 0)},
                                         AcceptCase{kDeDe, "08.12.2026 07:00", on({2026, 12, 8}, 7, 0)},
                                         AcceptCase{kDeDe, "8.12.2026 19:05:09", on({2026, 12, 8}, 19, 5, 9)},
                                         AcceptCase{kDeDe, "29.02.2024 7:00", on({2024, 2, 29}, 7, 0)},
                                         AcceptCase{kDeDe, "2026-12-08T07:00:30", on({2026, 12, 8}, 7, 0, 30)}));

// --- rejected ---

struct RejectCase {
    const char* locale;
    std::string text;
};

void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.locale << ' ' << testing::PrintToString(c.text); }

class Rejects : public testing::TestWithParam<RejectCase> {};

TEST_P(Rejects, ReadsNothing)
{
    const RejectCase& c = GetParam();
    PIN_LOCALE(c.locale);
    EXPECT_EQ(timeText().read(c.text), std::nullopt) << '"' << c.text << '"';
}

// Wrong in every locale.
std::vector<RejectCase> rejectedEverywhere()
{
    const std::vector<std::string> texts = {
        "",
        " ",
        " \t ",
        "7",
        "07",
        "7:",
        "7:0",
        "7:000",
        ":00",
        "07:",
        "25:00",
        "24:00",
        "99:00",
        "12:60",
        "7:00:60",
        "7:00:5",
        "7:00:",
        "07:00x",
        "x07:00",
        "07:00 tomorrow",
        "07:00 07:00",
        "-7:00",
        "+7:00",
        "07:-1",
        "07:00:00:00",
        "007:00",
        "07 :00",
        "07: 00",
        "07:00 :00",
        "7.00",
        "7h00",
        std::string(30, '0') + "7:00",
        "7:" + std::string(30, '0'),
        "99999999999999999999:00",
        std::string("07:00\0", 6),
        std::string("\0"
                    "07:00",
                    6),
        "\xef\xbc\x97:00",  // fullwidth 7
        "2026-02-30 07:00",
        "2026-13-01 07:00",
        "2026-00-10 07:00",
        "2026-12-00 07:00",
        "2025-02-29 07:00",
        "2026-12-08",
        "2026-12-08 ",
        "2026-12-08 25:00",
        "2026-12-0807:00",
        "2026-12-08T 07:00",
        "2026-12-08 T07:00",
        "2026-12-08TT07:00",
        "T07:00",
        "07:00 2026-12-08",
        "2026-12-8 07:00",
        "26-12-08 07:00",
        "02026-12-08 07:00",
        "2026-12-08 2026-12-08 07:00",
        "2026/12/08 07:00",
    };
    std::vector<RejectCase> cases;
    for (const char* locale : {kC, kEnUs, kDeDe}) {
        for (const auto& t : texts)
            cases.push_back({locale, t});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Everywhere, Rejects, testing::ValuesIn(rejectedEverywhere()));

INSTANTIATE_TEST_SUITE_P(C, Rejects,
                         testing::Values(RejectCase{kC, "13:00 PM"}, RejectCase{kC, "0:00 AM"},
                                         RejectCase{kC, "00:30 am"}, RejectCase{kC, "19:00 pm"},
                                         RejectCase{kC, "7:00 p"}, RejectCase{kC, "7:00 p m"},
                                         RejectCase{kC, "7:00 pmx"}, RejectCase{kC, "7:00 a.m."},
                                         RejectCase{kC, "pm 7:00"}, RejectCase{kC, "12/08/2026 07:00"},
                                         RejectCase{kC, "13/08/26 07:00"}, RejectCase{kC, "02/30/26 07:00"},
                                         RejectCase{kC, "12/08/26"}, RejectCase{kC, "12/08/2607:00"},
                                         RejectCase{kC, "12.08.26 07:00"}, RejectCase{kC, "123/08/26 07:00"}));

INSTANTIATE_TEST_SUITE_P(EnUs, Rejects,
                         testing::Values(RejectCase{kEnUs, "13:00 PM"}, RejectCase{kEnUs, "0:00 AM"},
                                         RejectCase{kEnUs, "07:05:09 PMM"}, RejectCase{kEnUs, "12/08/26 07:00"},
                                         RejectCase{kEnUs, "08.12.2026 07:00"}, RejectCase{kEnUs, "12/32/2026 07:00"},
                                         RejectCase{kEnUs, "02/29/2026 07:00"}, RejectCase{kEnUs, "12/08/2026"}));

INSTANTIATE_TEST_SUITE_P(DeDe, Rejects,
                         testing::Values(RejectCase{kDeDe, "7:00 pm"}, RejectCase{kDeDe, "7:00PM"},
                                         RejectCase{kDeDe, "12:00 AM"}, RejectCase{kDeDe, "12/08/2026 07:00"},
                                         RejectCase{kDeDe, "32.12.2026 07:00"}, RejectCase{kDeDe, "29.02.2026 07:00"},
                                         RejectCase{kDeDe, "08.12.26 07:00"}, RejectCase{kDeDe, "08.12.2026"}));

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
