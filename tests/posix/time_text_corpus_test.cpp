// Replays the fuzzer's seed corpus with the fuzzer's invariants.

#include "form_time_text.h"
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

struct Seed {
    std::string name;
    std::string text;
};

std::vector<Seed> corpus()
{
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(BELLWICK_TIME_TEXT_CORPUS, ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Seed> seeds;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        EXPECT_TRUE(in) << file;
        seeds.push_back({file.filename().string(), {std::istreambuf_iterator<char>(in), {}}});
    }
    return seeds;
}

// One case over the whole folder, so seeds added later are replayed
// without the test list being discovered again.
TEST(TimeTextCorpus, EverySeedHoldsTheInvariantsInEveryLocale)
{
    const auto seeds = corpus();
    ASSERT_GE(seeds.size(), 10u) << BELLWICK_TIME_TEXT_CORPUS;
    const PosixTimeText timeText;
    int tested = 0;
    for (const char* name : kTimeTextLocales) {
        ScopedLocale pinned(name);
        if (!pinned.ok()) continue;
        ++tested;
        for (const Seed& seed : seeds)
            EXPECT_EQ(timeTextInvariantFailure(timeText, seed.text), "") << name << ": " << seed.name;
    }
    if (tested == 0) GTEST_SKIP() << "none of the locales is installed";
}

// The same seeds through the core's reader with forms no installed locale has.
TEST(TimeTextCorpus, EverySeedHoldsTheInvariantsWithOtherForms)
{
    const auto seeds = corpus();
    ASSERT_GE(seeds.size(), 10u) << BELLWICK_TIME_TEXT_CORPUS;
    ASSERT_FALSE(formTimeTexts().empty());
    for (const auto& [name, timeText] : formTimeTexts()) {
        for (const Seed& seed : seeds)
            EXPECT_EQ(timeTextInvariantFailure(timeText, seed.text), "") << name << ": " << seed.name;
    }
}

}  // namespace
}  // namespace bellwick
