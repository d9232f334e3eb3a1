// Replays the fuzzer's seed corpus with the fuzzer's invariants.

#include "posix/posix_time_text.h"
#include "posix/scoped_locale.h"
#include "time_text_invariants.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// One case over the whole folder, so seeds added later are replayed
// without the test list being discovered again.
TEST(TimeTextCorpus, EverySeedHoldsTheInvariantsInEveryLocale)
{
    const auto files = corpusFiles();
    ASSERT_GE(files.size(), 10u) << BELLWICK_TIME_TEXT_CORPUS;
    const PosixTimeText timeText;
    int tested = 0;
    for (const char* name : kTimeTextLocales) {
        ScopedLocale pinned(name);
        if (!pinned.ok()) continue;
        ++tested;
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            ASSERT_TRUE(in) << file;
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            EXPECT_EQ(timeTextInvariantFailure(timeText, text), "") << name << ": " << file.filename();
        }
    }
    if (tested == 0) GTEST_SKIP() << "none of the locales is installed";
}

}  // namespace
}  // namespace bellwick
