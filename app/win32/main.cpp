// Bellwick.exe: wires the Win32 platform layer to the core and runs the
// message loop.

#include "handlers/fatal_report.h"
#include "handlers/snoozard.h"
#include "shaping/transparent.h"
#include "win32/callback_guard.h"
#include "win32/newer_calls.h"
#include "win32/snoozard_window.h"
#include "win32/win32_clock.h"
#include "win32/win32_event_log.h"
#include "win32/win32_file_dialog.h"
#include "win32/win32_media_player.h"
#include "win32/win32_messages.h"
#include "win32/win32_power.h"
#include "win32/win32_process.h"
#include "win32/win32_regions.h"
#include "win32/win32_settings_store.h"
#include "win32/win32_ticker.h"
#include "win32/win32_time_text.h"
#include "win32/win_api.h"
#include "window/layout.h"

#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

#ifdef BELLWICK_FAULTS
// Test builds only. BELLWICK_FAULT=paint or tick makes the first of those
// throw outside the handlers' guards, where only the callbacks catch it.
void injectFault(std::string_view where)
{
    static bool thrown = false;
    const char* chosen = std::getenv("BELLWICK_FAULT");
    if (thrown || !chosen || where != chosen) return;
    thrown = true;
    throw std::runtime_error("injected fault in a " + std::string(where));
}

// BELLWICK_DPI=n: once shown, the window is told that it is now on a
// screen of n dots per inch, as when it is dragged onto one.
void moveToDpi(HWND window)
{
    const char* dpi = std::getenv("BELLWICK_DPI");
    if (!dpi) return;
    static RECT suggested;  // read when the message is handled
    ::GetWindowRect(window, &suggested);
    const auto value = static_cast<WORD>(std::strtoul(dpi, nullptr, 10));
    ::PostMessageW(window, WM_DPICHANGED, MAKEWPARAM(value, value), reinterpret_cast<LPARAM>(&suggested));
}

// BELLWICK_WINDOWS=7: every call newer than Windows 7 taken as missing.
void actAsOlderWindows()
{
    const char* version = std::getenv("BELLWICK_WINDOWS");
    if (version && std::string_view(version) == "7") bellwick::win32::actAsWindows7(true);
}
#else
void injectFault(std::string_view) {}
void moveToDpi(HWND) {}
void actAsOlderWindows() {}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    using namespace bellwick;

    actAsOlderWindows();
    // The pictures are decoded by COM objects (WIC) on this thread.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    Win32Messages messages;
    Win32Process process;
    Window model = makeSnoozardLayout();
    Win32Regions regions;
    Win32SettingsStore settings;
    Win32MediaPlayer player;
    Win32FileDialog dialog;
    Win32Clock clock;
    Win32TimeText timeText;
    Win32EventLog log;
    Win32Power power;
    Win32Ticker ticker;

    Snoozard snoozard(
        model, Services{regions, messages, process, settings, player, dialog, clock, timeText, log, power, ticker});
    FatalReport fatal(messages, process, snoozard);
    win32::setFatalSink([&](std::exception_ptr e) { fatal.guard([e] { std::rethrow_exception(e); }); });
    std::unique_ptr<SnoozardWindow> window;
    fatal.guard([&] {
        window =
            std::make_unique<SnoozardWindow>(model, snoozard, [&](const std::function<void()>& f) { fatal.guard(f); });
    });
    window->onPaint([] { injectFault("paint"); });
    // The region is cut at the window's DPI, and again when that changes.
    regions.setDpi(window->dpi());
    window->onDpiChanged([&](Dpi dpi) {
        regions.setDpi(dpi);
        fatal.guard([&] { MakeTransparent(model, regions, messages, process); });
    });
    ticker.onTick([&] {
        injectFault("tick");
        fatal.guard([&] { snoozard.timer1Tick(); });
    });
    fatal.guard([&] { snoozard.load(); });
    window->start();
    moveToDpi(window->hwnd());
    return window->run();
}
