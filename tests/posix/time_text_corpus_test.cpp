// Replays the fuzzer's seed corpus with the fuzzer's invariants.

#include "posix_time_text.h"
#include "posix/scoped_locale.h"
#include "time_text_invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bellwick {
namespace {

std::vector<std::filesystem::path> corpusFiles()
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(BELLWICK_TIME_TEXT_CORPUS, ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(TimeTextCorpus, IsThere)
{
    EXPECT_GE(corpusFiles().size(), 10u) << BELLWICK_TIME_TEXT_CORPUS;
}

class TimeTextCorpus : public testing::TestWithParam<std::filesystem::path> {};

TEST_P(TimeTextCorpus, HoldsTheInvariantsInEveryLocale)
{
    std::ifstream in(GetParam(), std::ios::binary);
    ASSERT_TRUE(in) << GetParam();
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const PosixTimeText timeText;
    int tested = 0;
    for (const char* name : kTimeTextLocales) {
        ScopedLocale pinned(name);
        if (!pinned.ok()) continue;
        ++tested;
        EXPECT_EQ(timeTextInvariantFailure(timeText, text), "") << name;
    }
    if (tested == 0) GTEST_SKIP() << "none of the locales is installed";
}

std::string caseName(const testing::TestParamInfo<std::filesystem::path>& info)
{
    std::string name = info.param.filename().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TimeTextCorpus, testing::ValuesIn(corpusFiles()), caseName);

}  // namespace
}  // namespace bellwick
