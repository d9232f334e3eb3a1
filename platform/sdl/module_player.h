#pragma once
// The SDL player, loaded from its module the first time it is needed.
//
// SDL2_mixer brings some twenty libraries (decoders, sound servers' clients)
// that hold memory for as long as the program runs, though nothing plays
// until an alarm. The core asks for the player a minute ahead (prepare());
// play() and loop() load it themselves after a sleep that skipped that
// minute. The module is never unloaded.

#include "ports/media_player.h"

#include <memory>
#include <string>

namespace bellwick {

class ModulePlayer final : public MediaPlayer {
public:
    // Loads nothing yet.
    explicit ModulePlayer(std::string modulePath);
    ~ModulePlayer() override;
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;

    // The module where it is installed beside the running program.
    static std::string besideProgram();

    void prepare() override;
    void setFileName(const std::string& name) override;
    // Throw PlayError ("the sound player could not be loaded: <why>") when
    // the module cannot be loaded, else as the SDL player's.
    void play() override;
    void loop(const Tone& tone) override;
    bool keepRinging() override;
    void stop() override;

    bool loaded() const { return player_ != nullptr; }

private:
    MediaPlayer& player();

    std::string path_;
    std::string fileName_;
    std::unique_ptr<MediaPlayer> player_;
};

}  // namespace bellwick
