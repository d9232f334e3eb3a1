// The alarm-text grammar with hand-built locale words: the forms of glibc's
// C, en_US and de_DE locales, and others that the tokens express
// (fuzz/form_time_text.h, which the fuzzer uses too).
#include "time/time_reader.h"

#include "form_time_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace bellwick {

void PrintTo(const TimeReading& r, std::ostream* os)
{
    if (r.date) *os << r.date->year << '-' << r.date->month << '-' << r.date->day << ' ';
    *os << r.time.hour << ':' << r.time.minute << ':' << r.time.second;
}

namespace {

const LocaleWords kC = strftimeWords("AM", "PM", "%H:%M:%S", "%m/%d/%y");
const LocaleWords kEnUs = strftimeWords("AM", "PM", "%r", "%m/%d/%Y");
const LocaleWords kDeDe = strftimeWords("", "", "%T", "%d.%m.%Y");

TimeReading at(int h, int m, int s = 0) { return {std::nullopt, {h, m, s}}; }
TimeReading on(Date d, int h, int m, int s = 0) { return {d, {h, m, s}}; }

struct Accept {
    std::string text;
    TimeReading expected;
};

void expectReads(const LocaleWords& w, const std::vector<Accept>& rows)
{
    for (const Accept& row : rows)
        EXPECT_EQ(readTimeText(row.text, w), std::optional<TimeReading>(row.expected)) << '"' << row.text << '"';
}

void expectRefuses(const LocaleWords& w, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        EXPECT_EQ(readTimeText(text, w), std::nullopt) << testing::PrintToString(text);
}

TEST(TimeReader, DigitTimesAndDatesInC)
{
    expectReads(kC, {
                        {"07:00", at(7, 0)},
                        {"7:00", at(7, 0)},
                        {"19:05:09", at(19, 5, 9)},
                        {"0:00", at(0, 0)},
                        {"23:59:59", at(23, 59, 59)},
                        {" \t07:00\t ", at(7, 0)},
                        {"7:00 pm", at(19, 0)},
                        {"7:00PM", at(19, 0)},
                        {"7:00  Pm", at(19, 0)},
                        {"07:05:09 am", at(7, 5, 9)},
                        {"12:00 AM", at(0, 0)},
                        {"12:59:59 am", at(0, 59, 59)},
                        {"12:30 PM", at(12, 30)},
                        {"11:59 pM", at(23, 59)},
                        {"12/08/26 07:00", on({2026, 12, 8}, 7, 0)},
                        {"12/08/26   7:00 pm", on({2026, 12, 8}, 19, 0)},
                        {"12/31/69 23:59:59", on({1969, 12, 31}, 23, 59, 59)},
                        {"01/01/68 00:00", on({2068, 1, 1}, 0, 0)},
                        {"02/29/00 00:00", on({2000, 2, 29}, 0, 0)},
                        {"2/3/26 07:00", on({2026, 2, 3}, 7, 0)},
                        {"2026-12-08 07:00", on({2026, 12, 8}, 7, 0)},
                        {"2026-12-08T07:00", on({2026, 12, 8}, 7, 0)},
                        {"2026-12-08\t 19:05:09", on({2026, 12, 8}, 19, 5, 9)},
                        {"2024-02-29 7:00 PM", on({2024, 2, 29}, 19, 0)},
                    });
    expectRefuses(kC, {"13:00 PM", "0:00 AM", "00:30 am", "19:00 pm", "7:00 p", "7:00 p m", "7:00 pmx", "7:00 a.m.",
                       "pm 7:00", "12/08/2026 07:00", "13/08/26 07:00", "02/30/26 07:00", "12/08/26", "12/08/2607:00",
                       "12.08.26 07:00", "123/08/26 07:00", "12/08/6 07:00"});
}

TEST(TimeReader, TheLocalesOwnFormsInEnUsAndDeDe)
{
    expectReads(kEnUs, {
                           {"07:05:09 PM", at(19, 5, 9)},
                           {"12:00:00 AM", at(0, 0)},
                           {"7:00 pm", at(19, 0)},
                           {"19:05", at(19, 5)},
                           {"12/08/2026 07:00:00 AM", on({2026, 12, 8}, 7, 0)},
                           {"2/3/2026 7:00", on({2026, 2, 3}, 7, 0)},
                           {"02/29/2024 12:30 PM", on({2024, 2, 29}, 12, 30)},
                           {"2026-12-08 07:00 pm", on({2026, 12, 8}, 19, 0)},
                       });
    expectRefuses(kEnUs, {"13:00 PM", "0:00 AM", "07:05:09 PMM", "12/08/26 07:00", "08.12.2026 07:00",
                          "12/32/2026 07:00", "02/29/2026 07:00", "12/08/2026"});
    expectReads(kDeDe, {
                           {"19:05:09", at(19, 5, 9)},
                           {"8.12.2026 19:05:09", on({2026, 12, 8}, 19, 5, 9)},
                           {"29.02.2024 7:00", on({2024, 2, 29}, 7, 0)},
                           {"2026-12-08T07:00:30", on({2026, 12, 8}, 7, 0, 30)},
                       });
    expectRefuses(kDeDe, {"7:00 pm", "7:00PM", "12:00 AM", "12/08/2026 07:00", "32.12.2026 07:00", "29.02.2026 07:00",
                          "08.12.26 07:00", "08.12.2026"});
}

// Wrong whatever the locale.
TEST(TimeReader, RefusesMalformedTextEverywhere)
{
    const std::vector<std::string> texts = {"",
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
                                            std::string("\0007:00", 6),
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
                                            "2026/12/08 07:00"};
    for (const LocaleWords* w : {&kC, &kEnUs, &kDeDe})
        expectRefuses(*w, texts);
}

// --- forms beyond the three locales ---

struct FormCase {
    const char* name;
    LocaleWords words;
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

std::vector<FormCase> formCases()
{
    std::vector<FormCase> cases;
    for (const auto& [name, w] : formLocales())
        cases.push_back({name, w});
    return cases;
}

const LocaleWords& formWords(std::string_view name)
{
    for (const auto& [n, w] : formLocales()) {
        if (n == name) return w;
    }
    throw std::invalid_argument(std::string(name));
}

class Forms : public testing::TestWithParam<FormCase> {};

// What the locale writes reads back, alone and after its date; the
// second date has another weekday, day and month width.
TEST_P(Forms, TimesAndDatesTheLocaleWritesReadBack)
{
    const LocaleWords& w = GetParam().words;
    ASSERT_FALSE(w.time.empty());
    ASSERT_FALSE(w.date.empty());
    const bool seconds = std::find_if(w.time.begin(), w.time.end(), [](const FormToken& k) {
                             return k.kind == FormToken::Kind::Second;
                         }) != w.time.end();
    int failures = 0;
    // Every 11th second (11 is prime to 60: every hour, minute and second
    // value comes up) and the last one of the day.
    for (int step = 0; step < 86400 + 11 && failures < 5; step += 11) {
        const int s = std::min(step, 86399);
        const TimeOfDay t{s / 3600, s / 60 % 60, seconds ? s % 60 : 0};
        for (const Date& d : {Date{2033, 11, 22}, Date{2031, 3, 5}}) {
            const std::string time = writeForm(w.time, w, d, t);
            const std::string dated = writeForm(w.date, w, d, t) + " " + time;
            if (readTimeText(time, w) != std::optional<TimeReading>(at(t.hour, t.minute, t.second)) ||
                readTimeText(dated, w) != std::optional<TimeReading>(on(d, t.hour, t.minute, t.second))) {
                ADD_FAILURE() << '"' << dated << "\" did not read back";
                ++failures;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Locales, Forms, testing::ValuesIn(formCases()),
                         [](const testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST(TimeReader, FormsReadOnlyWhatTheLocaleWrites)
{
    const LocaleWords& zone = formWords("ZoneAfterTheTime");
    const LocaleWords& names = formWords("BlankPaddedTwelveHour");
    const LocaleWords& winUs = formWords("WindowsEnUs");
    const LocaleWords& winDay = formWords("WindowsDayPeriodFirst");
    expectReads(zone, {{"07:05:09 PM UTC", at(19, 5, 9)}, {"5/3/31 07:05:09 PM UTC", on({2031, 3, 5}, 19, 5, 9)}});
    expectRefuses(zone,
                  {"07:05:09 pm UTC", "07:05:09 PM GMT", "07:05:09 PM  UTC", "19:05:09 PM UTC", "5/3/2031 07:00"});
    expectReads(names, {{"Wednesday 05 Mar 2031 7:00", on({2031, 3, 5}, 7, 0)}});
    expectRefuses(names, {"Thursday 05 Mar 2031 7:00", "Wednesday 05 March 2031 7:00", "wednesday 05 Mar 2031 7:00",
                          "05 Mar 2031 7:00"});
    expectReads(winUs, {{"7:05:09 PM", at(19, 5, 9)}, {"3/5/2031 7:00", on({2031, 3, 5}, 7, 0)}});
    expectRefuses(winUs, {"7:5:09 PM", "3/5/31 7:00"});
    expectReads(winDay, {{"p.m. 7:05:09", at(19, 5, 9)}, {"Sunday, March 5, 50 7:00", on({1950, 3, 5}, 7, 0)}});
    expectRefuses(winDay, {"P.M. 7:05:09", "p.m. 13:05:09", "p.m.7:05", "p.m. 7:5"});
}

// An alarm typed in the locale's own form: the hour with one digit or two,
// the seconds left out, the text around the numbers left out.
TEST(TimeReader, TheLocalesFormAsTyped)
{
    const LocaleWords fi = strftimeWords("", "", "%H.%M.%S", "%d.%m.%Y");
    const LocaleWords nb = strftimeWords("", "", "kl. %H.%M.%S", "%d.%m.%Y");
    const LocaleWords zh = strftimeWords("\xe4\xb8\x8a\xe5\x8d\x88", "\xe4\xb8\x8b\xe5\x8d\x88",
                                         "%p %I\xe6\x99\x82%M\xe5\x88\x86%S\xe7\xa7\x92", "%Y/%m/%d");
    const LocaleWords& dayFirst = formWords("WindowsDayPeriodFirst");
    expectReads(fi, {{"7.00", at(7, 0)},
                     {"07.00", at(7, 0)},
                     {"07.00.00", at(7, 0)},
                     {"7.00.30", at(7, 0, 30)},
                     {"19.05", at(19, 5)},
                     {"7:00", at(7, 0)},
                     {"8.12.2026 7.00", on({2026, 12, 8}, 7, 0)}});
    expectRefuses(fi, {"7.0", "7.000", "7,00", "7. 00", "24.00", "7.00.6", "7.00 pm", "07.00.00.00", "8.12.2026"});
    expectReads(
        nb, {{"7.05", at(7, 5)}, {"kl. 7.05", at(7, 5)}, {"kl. 07.05.09", at(7, 5, 9)}, {"19.05.09", at(19, 5, 9)}});
    expectRefuses(nb, {"kl 7.05", "kl. 7.05 +0000", "kl.", "7.05 kl."});
    expectReads(zh, {{"\xe4\xb8\x8b\xe5\x8d\x88 7\xe6\x99\x82"
                      "05\xe5\x88\x86",
                      at(19, 5)},
                     {"\xe4\xb8\x8a\xe5\x8d\x88 12\xe6\x99\x82"
                      "00",
                      at(0, 0)}});
    expectRefuses(zh, {"7\xe6\x99\x82"
                       "05\xe5\x88\x86",
                       "\xe4\xb8\x8b\xe5\x8d\x88 7\xe6\x99\x82"});
    expectReads(dayFirst, {{"p.m. 07:05", at(19, 5)}, {"a.m. 12:00:00", at(0, 0)}});
}

}  // namespace
}  // namespace bellwick
