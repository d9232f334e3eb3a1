#include "win32/dpi.h"

#include "win32/newer_calls.h"

namespace bellwick {

Dpi dpiOf(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const win32::NewerCall<GetDpiForWindowFn> getDpiForWindow(L"user32.dll", "GetDpiForWindow");
    if (const GetDpiForWindowFn f = getDpiForWindow.get()) return Dpi(f(window));
    // Windows 8.1 has each screen's DPI through shcore's GetDpiForMonitor.
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const win32::NewerCall<GetDpiForMonitorFn> getDpiForMonitor(L"shcore.dll", "GetDpiForMonitor");
    constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (UINT x = 0, y = 0; const GetDpiForMonitorFn f = getDpiForMonitor.get())
        if (SUCCEEDED(f(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x, &y))) return Dpi(y);
    // Windows 7: the system's.
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return Dpi(dpi > 0 ? static_cast<unsigned>(dpi) : Dpi::kLayout);
}

}  // namespace bellwick
