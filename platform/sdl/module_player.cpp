#include "sdl/module_player.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <utility>

namespace bellwick {

ModulePlayer::ModulePlayer(std::string modulePath) : path_(std::move(modulePath)) {}

ModulePlayer::~ModulePlayer() = default;

std::string ModulePlayer::besideProgram()
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string();
    dir = dir.substr(0, dir.find_last_of('/') + 1);
    return dir + BELLWICK_PLAYER_MODULE;
}

MediaPlayer& ModulePlayer::player()
{
    if (player_) return *player_;
    // Never closed: SDL keeps threads and handlers that outlive a player.
    void* module = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!module) throw PlayError(std::string("the sound player could not be loaded: ") + dlerror());
    using Make = MediaPlayer* (*)();
    const auto make = reinterpret_cast<Make>(dlsym(module, "bellwick_make_player"));
    if (!make) throw PlayError("the sound player could not be loaded: " + path_ + " is not Bellwick's player");
    player_.reset(make());
    player_->setFileName(fileName_);
    return *player_;
}

void ModulePlayer::prepare()
{
    try {
        player();
    } catch (const PlayError&) {
        // play() tries again and says why.
    }
}

void ModulePlayer::setFileName(const std::string& name)
{
    fileName_ = name;
    if (player_) player_->setFileName(name);
}

void ModulePlayer::play() { player().play(); }

void ModulePlayer::loop(const Tone& tone) { player().loop(tone); }

bool ModulePlayer::keepRinging() { return player_ && player_->keepRinging(); }

void ModulePlayer::stop()
{
    if (player_) player_->stop();
}

}  // namespace bellwick
