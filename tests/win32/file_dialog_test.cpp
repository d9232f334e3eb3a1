// The filter as GetOpenFileNameW takes it.
#include "win32/win32_file_dialog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace bellwick {
namespace {

struct FilterCase {
    const char* name;
    std::string filter;
    std::wstring system;
};

void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }

class SystemFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SystemFilter, IsNulSeparatedPairsEndingInTwoNuls)
{
    EXPECT_EQ(systemFilter(GetParam().filter), GetParam().system);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Filters, SystemFilter,
    ::testing::Values(
        FilterCase{"TheProgramsOwn", "Sound Resources (*.wav;*.mp3;)|*.wav;*.mp3;|All files|*.*",
                   L"Sound Resources (*.wav;*.mp3;)\0*.wav;*.mp3\0All files\0*.*\0\0"s},
        // Outside the ANSI code page; the pair of surrogates stays whole.
        FilterCase{"NonAscii", "Kl\xC3\xA4nge \xF0\x9F\x8E\xB5|*.wav", L"Kl\u00E4nge \U0001F3B5\0*.wav\0\0"s},
        FilterCase{"PairWithoutPatterns", "Everything| ; |Sound|*.wav", L"Everything\0*.*\0Sound\0*.wav\0\0"s},
        FilterCase{"DanglingDescription", "Sound|*.wav|Other", L"Sound\0*.wav\0\0"s},
        FilterCase{"NulInADescription", "So\0und|*.wav"s, L"So und\0*.wav\0\0"s}, FilterCase{"Empty", "", L""s}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
