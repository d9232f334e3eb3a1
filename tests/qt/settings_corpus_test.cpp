// Replays the settings fuzzer's seeds: each value round-trips exactly.
#include "fakes/temp_folder.h"
#include "qt/qt_settings_store.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace bellwick {
namespace {

namespace fs = std::filesystem;

TEST(SettingsCorpus, EverySeedRoundTrips)
{
    const fs::path dir = testing_support::makeTempFolder("bellwick-corpus");
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    int seeds = 0;
    for (const auto& entry : fs::directory_iterator(BELLWICK_SETTINGS_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string value((std::istreambuf_iterator<char>(in)), {});
        QtSettingsStore().save("KV Bellwick", "SoundFile", "Sound", value);
        EXPECT_EQ(QtSettingsStore().read("KV Bellwick", "SoundFile", "Sound", "<absent>"), value)
            << entry.path().filename();
        ++seeds;
    }
    EXPECT_GT(seeds, 5);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace bellwick

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
