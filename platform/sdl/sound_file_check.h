#pragma once
// A quick look at a sound file before the decoder sees it: SDL_mixer takes
// some damaged or foreign files without complaint and then plays silence.

#include <cstdint>
#include <string>
#include <vector>

namespace bellwick {

// What is wrong with the file behind fd, or "" for a whole WAV or MP3 file.
// Reads from the start of the file; leaves the offset anywhere.
std::string checkSoundFile(int fd);

// The same for bytes in memory (the whole file).
std::string checkSoundBytes(const std::vector<std::uint8_t>& bytes, std::uint64_t fileSize);

}  // namespace bellwick
