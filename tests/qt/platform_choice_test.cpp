#include "qt/qt_platform_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace bellwick {
namespace {

TEST(QtPlatform, ChosenAsTheSessionIsUnlessTheUserChose)
{
    const struct {
        std::map<std::string, std::string> env;
        const char* chosen;
    } cases[] = {
        {{{"DISPLAY", ":0"}}, "xcb"},
        {{{"WAYLAND_DISPLAY", "wayland-0"}}, "wayland;xcb"},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, "wayland;xcb"},  // XWayland only as the fallback
        {{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}}, "wayland;xcb"},
        {{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, "xcb"},
        {{{"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":0"}}, "xcb"},
        {{{"QT_QPA_PLATFORM", "offscreen"}, {"WAYLAND_DISPLAY", "wayland-0"}}, ""},
        {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        const std::string chosen = qtPlatformFor([&](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        });
        std::string names;
        for (const auto& [k, v] : c.env)
            names += k + "=" + v + " ";
        EXPECT_EQ(chosen, c.chosen) << names;
    }
}

}  // namespace
}  // namespace bellwick
