#pragma once
// A quick look at a sound file before the decoder sees it: SDL_mixer takes
// some damaged or foreign files without complaint and then plays silence
// (a WAV cut anywhere after its header loads as if whole, for one).
//
// What counts as sound:
//  - WAV: "RIFF....WAVE", a fmt chunk (at least 16 bytes, channels and rate
//    not 0) before a data chunk, and the data chunk lies wholly inside the
//    file and holds at least 10 ms of sound.
//  - MP3: after an optional ID3v2 tag (of any size), three MPEG audio frame
//    headers in a row, each where the one before says it ends. The first may
//    stand up to 64 KiB into the audio (junk or padding before it is
//    tolerated, as the decoder does). Random bytes pass this by chance with a
//    probability of well under one in a million. When the first frame is a
//    Xing/Info or VBRI header with a byte count (LAME writes one), the file
//    must hold that many bytes from it on. An MP3 without such a header has
//    no length to check against: cut after its third frame, it plays shorter.
//  - Anything else is refused.

#include <cstdint>
#include <string>
#include <vector>

namespace bellwick {

// What is wrong with the file behind fd, or "" for a sound WAV or MP3 file.
// Reads with pread, so the file offset is left as it was.
std::string checkSoundFile(int fd);

// The same for a whole file held in memory; fileSize is its length on disk
// (bytes may hold fewer, as if the rest could not be read).
std::string checkSoundBytes(const std::vector<std::uint8_t>& bytes, std::uint64_t fileSize);

}  // namespace bellwick
