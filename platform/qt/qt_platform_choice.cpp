#include "qt/qt_platform_choice.h"

#include <QGuiApplication>

#include <cstring>

namespace bellwick {

namespace {

bool set(const char* value) { return value && *value; }

}  // namespace

std::string qtPlatformFor(const Environment& env)
{
    if (set(env("QT_QPA_PLATFORM"))) return {};
    const char* session = env("XDG_SESSION_TYPE");
    // Qt tries them in turn: X11 where its Wayland plugin is not installed.
    if (set(env("WAYLAND_DISPLAY")) || (session && std::strcmp(session, "wayland") == 0)) return "wayland;xcb";
    if (set(env("DISPLAY"))) return "xcb";
    return {};
}

bool compositorPlacesWindows() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace bellwick
