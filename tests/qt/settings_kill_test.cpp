// A save killed at any moment leaves the old or the new value, never a mix.
#include "fakes/temp_folder.h"
#include "qt/qt_settings_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace bellwick {
namespace {

namespace fs = std::filesystem;

TEST(SettingsUnderKill, EveryKillLeavesOneWholeValue)
{
    const fs::path dir = testing_support::makeTempFolder("bellwick-kill");
    const std::string previous = getenv("XDG_CONFIG_HOME") ? getenv("XDG_CONFIG_HOME") : "";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);

    const std::string a = "/home/me/Music/" + std::string(3000, 'a') + "/wake up.wav";
    const std::string b = "/media/alarm/Grüße = [b]; #" + std::string(1500, 'b') + ".mp3";
    std::mt19937 rnd(7);
    int kills = 0, seenA = 0, seenB = 0;
    for (int round = 0; round < 60; ++round) {
        int out[2];
        ASSERT_EQ(::pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        pid_t pid = 0;
        char* args[] = {const_cast<char*>(BELLWICK_SETTINGS_WRITER), const_cast<char*>(a.c_str()),
                        const_cast<char*>(b.c_str()), nullptr};
        ASSERT_EQ(posix_spawn(&pid, BELLWICK_SETTINGS_WRITER, &actions, nullptr, args, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        char ready[8] = {};
        ASSERT_GT(::read(out[0], ready, sizeof ready), 0);
        ::close(out[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(2000 + rnd() % 40000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        kills += WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;  // not ended by a failed save

        const std::string value = QtSettingsStore().read("KV Bellwick", "SoundFile", "Sound", "<absent>");
        if (seenA + seenB == 0 && value == "<absent>") continue;  // no save finished yet
        ASSERT_TRUE(value == a || value == b) << "round " << round << ": " << value.substr(0, 80);
        (value == a ? seenA : seenB)++;
    }
    EXPECT_EQ(kills, 60);
    EXPECT_GT(seenA + seenB, 50);
    // The next save takes away what the killed saves left.
    QtSettingsStore().save("KV Bellwick", "SoundFile", "Sound", a);
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".ini."), std::string::npos) << entry.path().filename();

    fs::remove_all(dir);
    if (previous.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
}

}  // namespace
}  // namespace bellwick
