#pragma once
// Real and broken sound files in a temporary folder, made with sox and lame.

#include "fakes/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace bellwick::testing_files {

namespace fs = std::filesystem;

inline fs::path scratch()
{
    static const fs::path dir = testing_support::makeTempFolder("bellwick-sdl");
    return dir;
}

inline bool sh(const std::string& cmd) { return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0; }

inline fs::path wav()
{
    const fs::path p = scratch() / "tone.wav";
    if (!fs::exists(p)) sh("sox -n -r 44100 -c 2 -b 16 '" + p.string() + "' synth 3 sine 440 vol 0.5");
    return p;
}

inline fs::path mp3()
{
    const fs::path p = scratch() / "tone.mp3";
    if (!fs::exists(p)) sh("lame --quiet -b 128 '" + wav().string() + "' '" + p.string() + "'");
    return p;
}

// MPEG-2 layer III (22050 Hz mono): other frame sizes than mp3()'s.
inline fs::path lowRateMp3()
{
    const fs::path p = scratch() / "low.mp3";
    if (!fs::exists(p)) {
        const fs::path w = scratch() / "low.wav";
        sh("sox -n -r 22050 -c 1 -b 16 '" + w.string() + "' synth 1 sine 440 vol 0.5");
        sh("lame --quiet -b 32 '" + w.string() + "' '" + p.string() + "'");
    }
    return p;
}

inline fs::path bytes(const std::string& name, const std::string& content)
{
    const fs::path p = scratch() / name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
}

inline std::string head(const fs::path& p, std::size_t n)
{
    std::ifstream in(p, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

inline std::string randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(gen());
    return s;
}

}  // namespace bellwick::testing_files
