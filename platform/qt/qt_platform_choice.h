#pragma once
// Which of Qt's platforms the program runs on, as a desktop would choose:
// Wayland on a Wayland session (X11 where Qt's Wayland plugin is missing),
// X11 where only an X server is there, and the user's own choice always.

#include <functional>
#include <string>

namespace bellwick {

// getenv's answer for a name, or nullptr.
using Environment = std::function<const char*(const char*)>;

// The value for QT_QPA_PLATFORM, or empty to leave it as it is.
std::string qtPlatformFor(const Environment& env);

// Whether the compositor places the windows (Wayland): the program can
// neither centre nor move its own; a drag hands the move to the compositor.
bool compositorPlacesWindows();

}  // namespace bellwick
