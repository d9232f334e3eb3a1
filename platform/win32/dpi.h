#pragma once
// The window's DPI, as far as the system can tell it.

#include "view/dpi.h"
#include "win32/win_api.h"

namespace bellwick {

// The window's DPI: GetDpiForWindow from Windows 10 1607, its screen's on
// Windows 8.1, the system's on Windows 7 (win32/newer_calls.h).
Dpi dpiOf(HWND window);

}  // namespace bellwick
