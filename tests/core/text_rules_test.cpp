#include "rules/filter.h"
#include "rules/utf16.h"

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
}

}  // namespace
}  // namespace bellwick
