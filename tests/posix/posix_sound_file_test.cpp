#include "posix/posix_sound_file.h"

#include "fakes/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace bellwick {
namespace {

namespace fs = std::filesystem;

const fs::path& folder()
{
    static const fs::path dir = testing_support::makeTempFolder("bellwick-posix-sound");
    return dir;
}

fs::path withBytes(const std::string& name, const std::string& content)
{
    const fs::path p = folder() / name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
}

TEST(PosixSoundFile, ReadsARegularFileWithoutMovingItsOffset)
{
    const std::string content = "0123456789";
    PosixSoundFile file(withBytes("ten.bin", content).string());
    ASSERT_EQ(file.problem(), "");
    EXPECT_EQ(file.size(), 10u);
    EXPECT_EQ(file.read(3, 4), (std::vector<std::uint8_t>{'3', '4', '5', '6'}));
    EXPECT_EQ(file.read(8, 100), (std::vector<std::uint8_t>{'8', '9'})) << "fewer at the end";
    EXPECT_TRUE(file.read(10, 5).empty());

    const int fd = file.release();
    ASSERT_GE(fd, 0);
    char first = 0;
    EXPECT_EQ(::read(fd, &first, 1), 1);
    EXPECT_EQ(first, '0') << "the descriptor is handed over at offset 0";
    ::close(fd);
    EXPECT_EQ(file.release(), -1);
}

// A Unix socket bound in the folder.
std::string socketPath()
{
    const fs::path p = folder() / "sock";
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", p.c_str());
    EXPECT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0) << p;
    ::close(s);
    return p.string();
}

TEST(PosixSoundFile, OpensNothingButARegularFile)
{
    const fs::path fifo = folder() / "alarm.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string plain = withBytes("plain.wav", "x").string();
    const struct {
        const char* what;
        std::string name;
        const char* problem;
    } cases[] = {
        {"no name", "", "no file is chosen"},
        {"a NUL byte after a good name", plain + std::string("\0.txt", 5), "the name holds a NUL byte"},
        {"missing", (folder() / "missing.wav").string(), "no such file"},
        {"a file used as a folder", plain + "/x.wav", "a part of the path is not a folder"},
        {"a 4 KiB name", (folder() / std::string(4096, 'x')).string(), "the name is too long"},
        {"a folder", folder().string(), "it is a folder, not a sound file"},
        {"a FIFO nobody writes to", fifo.string(), "it is a pipe (FIFO), not a sound file"},
        {"/dev/null", "/dev/null", "it is a device, not a sound file"},
        {"a socket", socketPath(), "it is a socket, not a sound file"},
    };
    for (const auto& c : cases) {
        PosixSoundFile file(c.name);
        EXPECT_EQ(file.problem(), c.problem) << c.what;
        EXPECT_EQ(file.release(), -1) << c.what;
    }
}

}  // namespace
}  // namespace bellwick
