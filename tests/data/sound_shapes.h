#pragma once
// The sound files in this folder (made by tools/make_test_sounds), one per
// shape that recorders and encoders write, and what an alarm with each does
// on every platform: the file plays, or the player refuses it and the alarm
// shows its message over the built-in tone. Every player test runs them all.

#include "ports/media_player.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>

namespace bellwick::testing_sounds {

enum class Outcome { Plays, MessageAndTone };

struct SoundShape {
    const char* shape;
    const char* file;
    Outcome outcome;
};

inline constexpr SoundShape kSoundShapes[] = {
    {"WAV 16-bit mono", "pcm16-mono-8k.wav", Outcome::Plays},
    {"WAV 8-bit unsigned mono", "pcm8-unsigned-mono-8k.wav", Outcome::Plays},
    {"WAV 24-bit", "pcm24-mono-8k.wav", Outcome::Plays},
    {"WAV 32-bit float", "float32-mono-8k.wav", Outcome::Plays},
    {"WAV extensible 24-bit", "extensible-pcm24-mono-8k.wav", Outcome::Plays},
    {"WAV extensible 32-bit float stereo", "extensible-float32-stereo-8k.wav", Outcome::Plays},
    {"WAV sizes 0 left by the recorder", "size-placeholder-zero-8k.wav", Outcome::Plays},
    {"WAV sizes 0xFFFFFFFF from a stream", "size-placeholder-ffffffff-8k.wav", Outcome::Plays},
    {"WAV written by sox into a pipe", "streamed-by-sox-8k.wav", Outcome::Plays},
    {"WAV cut inside its data", "cut-in-data-8k.wav", Outcome::MessageAndTone},
    {"MP3 MPEG-1 44_1 kHz", "cbr-mpeg1-44k-mono.mp3", Outcome::Plays},
    {"MP3 MPEG-2 22_05 kHz mono", "cbr-mpeg2-22k-mono.mp3", Outcome::Plays},
    {"MP3 MPEG-2_5 8 kHz mono", "cbr-mpeg25-8k-mono.mp3", Outcome::Plays},
    {"MP3 VBR with a Xing header", "vbr-xing-44k-mono.mp3", Outcome::Plays},
    {"MP3 VBR cut short of its Xing length", "cut-vbr-xing-44k-mono.mp3", Outcome::MessageAndTone},
    {"MP3 with an ID3v1 tag", "id3v1-44k-mono.mp3", Outcome::Plays},
    {"MP3 VBR with an ID3v2 tag", "id3v2-vbr-xing-44k-mono.mp3", Outcome::Plays},
    {"WAV named in capitals", "CAPITALS.WAV", Outcome::Plays},
    {"MP3 named in capitals", "CAPITALS.MP3", Outcome::Plays},
};

inline void PrintTo(const SoundShape& s, std::ostream* os) { *os << s.shape; }

// A row's shape as a test name.
inline std::string testName(const SoundShape& s)
{
    std::string n;
    for (const char* c = s.shape; *c; ++c)
        n += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return n;
}

// A refused file fails at play(), at once, with the player's message.
inline void expectRefused(MediaPlayer& player)
{
    try {
        player.play();
        ADD_FAILURE() << "played";
    } catch (const PlayError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("cannot play '", 0), 0u) << e.what();
    }
}

}  // namespace bellwick::testing_sounds
