#include "text/event_line.h"
#include "text/filter.h"
#include "text/utf16.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace bellwick {
namespace {

struct FilterCase {
    const char* name;
    std::string filter;
    std::vector<FilterEntry> entries;
};

std::ostream& operator<<(std::ostream& os, const FilterCase& c) { return os << c.name; }

class SplitFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(SplitFilter, GivesDescriptionPatternPairs) { EXPECT_EQ(splitFilter(GetParam().filter), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    Table, SplitFilter,
    testing::Values(FilterCase{"Sounds",
                               "Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*",
                               {{"Sound Resources (*.wav;*.mp3;)", {"*.wav", "*.mp3"}}, {"All files", {"*.*"}}}},
                    FilterCase{"BlanksTrimmed", " Loud | *.WAV ; ;*.MP3 ", {{"Loud", {"*.WAV", "*.MP3"}}}},
                    FilterCase{"NoPatternsListsEverything", "Nothing given|;;", {{"Nothing given", {"*.*"}}}},
                    FilterCase{"LoneDescriptionDropped", "Text|*.txt|Sounds", {{"Text", {"*.txt"}}}},
                    FilterCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct SelectionCase {
    const char* name;
    std::string text;
    int start, length;
    Utf16Range units;
};

std::ostream& operator<<(std::ostream& os, const SelectionCase& c) { return os << c.name; }

class Utf16Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Utf16Selection, CountsCodePointsAsUtf16Units)
{
    const SelectionCase& c = GetParam();
    EXPECT_EQ(utf16Selection(c.text, c.start, c.length), c.units);
}

INSTANTIATE_TEST_SUITE_P(Table, Utf16Selection,
                         testing::Values(SelectionCase{"Ascii", "alarm.wav", 2, 3, {2, 3}},
                                         SelectionCase{"TwoByteLetters", "Grüße.wav", 0, 9, {0, 9}},
                                         SelectionCase{"BeyondTheBasicPlane", "/Grüße/🔔.wav", 0, 12, {0, 13}},
                                         SelectionCase{"AfterASurrogatePair", "🔔🔔ab", 2, 1, {4, 1}},
                                         SelectionCase{"ClampedToTheText", "ab🔔", 1, 100, {1, 3}},
                                         SelectionCase{"NegativeCountsAsZero", "ab🔔", -5, -1, {0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodePoints, CountsCharactersNotBytes)
{
    EXPECT_EQ(codePoints(""), 0u);
    EXPECT_EQ(codePoints("/Grüße/🔔.wav"), 12u);
    EXPECT_EQ(codePoints("a\x80\xF0\x9F"), 4u);  // each byte that is not UTF-8 counts once
    EXPECT_EQ(utf16Selection("\xF0\x9F\x94" "x", 0, 4), (Utf16Range{0, 4}));
}

struct Utf8Case {
    const char* name;
    std::string bytes;
    Utf8Step first;
};

TEST(DecodeUtf8, TakesOneCharacterOrOneByteThatIsNot)
{
    const Utf8Case cases[] = {
        {"Ascii", "a", {0x61, 1, true}},
        {"TwoBytes", "\xC3\xA9", {0xE9, 2, true}},
        {"ThreeBytes", "\xE2\x82\xAC", {0x20AC, 3, true}},
        {"FourBytes", "\xF0\x9F\x94\x94", {0x1F514, 4, true}},
        {"Highest", "\xF4\x8F\xBF\xBF", {0x10FFFF, 4, true}},
        {"OverlongTwo", "\xC0\xAF", {0xFFFD, 1, false}},
        {"OverlongThree", "\xE0\x80\xAF", {0xFFFD, 1, false}},
        {"OverlongFour", "\xF0\x82\x82\xAC", {0xFFFD, 1, false}},
        {"Surrogate", "\xED\xA0\x80", {0xFFFD, 1, false}},
        {"BeyondU10FFFF", "\xF4\x90\x80\x80", {0xFFFD, 1, false}},
        {"CutShort", "\xE2\x82", {0xFFFD, 1, false}},
        {"NotContinued", "\xC3(", {0xFFFD, 1, false}},
        {"StrayContinuation", "\x80" "a", {0xFFFD, 1, false}},
        {"FiveByteLead", "\xF8\x88\x80\x80\x80", {0xFFFD, 1, false}},
    };
    for (const Utf8Case& c : cases) {
        const Utf8Step step = decodeUtf8(c.bytes, 0);
        EXPECT_EQ(step.codePoint, c.first.codePoint) << c.name;
        EXPECT_EQ(step.length, c.first.length) << c.name;
        EXPECT_EQ(step.valid, c.first.valid) << c.name;
    }
}

struct EventLineCase {
    const char* name;
    std::string line, expected;
};

std::ostream& operator<<(std::ostream& os, const EventLineCase& c) { return os << c.name; }

class EventLine : public testing::TestWithParam<EventLineCase> {};

TEST_P(EventLine, IsOneLineWithItsInstantTwice) { EXPECT_EQ(GetParam().line, GetParam().expected); }

// 2024-02-29T23:59:59.999Z, the last millisecond of a leap day.
constexpr std::int64_t kLeapDayEnd = 1709251199999;

INSTANTIATE_TEST_SUITE_P(
    Table, EventLine,
    testing::Values(
        EventLineCase{"Epoch", firedLine(0), "fired epoch_ms=0 utc=1970-01-01T00:00:00.000Z"},
        EventLineCase{"LeapDayEnd", firedLine(kLeapDayEnd),
                      "fired epoch_ms=1709251199999 utc=2024-02-29T23:59:59.999Z"},
        EventLineCase{"NextMillisecond", firedLine(kLeapDayEnd + 1),
                      "fired epoch_ms=1709251200000 utc=2024-03-01T00:00:00.000Z"},
        EventLineCase{"Reason", failedLine(0, "cannot open /home/me/a b.wav"),
                      "failed epoch_ms=0 utc=1970-01-01T00:00:00.000Z reason=cannot open /home/me/a b.wav"},
        EventLineCase{"EmptyReason", failedLine(0, ""), "failed epoch_ms=0 utc=1970-01-01T00:00:00.000Z reason="},
        EventLineCase{"ControlsAndSeparators",
                      failedLine(0, "a\r\nb\tc\x7F\xC2\x85"
                                    "d\xE2\x80\xA8"
                                    "e\xE2\x80\xA9"
                                    "f"),
                      "failed epoch_ms=0 utc=1970-01-01T00:00:00.000Z reason=a  b c  d e f"},
        EventLineCase{"NonAsciiKept", failedLine(0, "Ger\xC3\xA4t \xF0\x9F\x94\x94"),
                      "failed epoch_ms=0 utc=1970-01-01T00:00:00.000Z reason=Ger\xC3\xA4t \xF0\x9F\x94\x94"},
        EventLineCase{"NotUtf8Replaced",
                      failedLine(0, "a\xFF\xC3(\xE2\x80\xED\xA0\x80"
                                    "b"),
                      "failed epoch_ms=0 utc=1970-01-01T00:00:00.000Z "
                      "reason=a\xEF\xBF\xBD\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
                      "b"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
