#pragma once
// The urgency bit of the window's WM_HINTS (ICCCM), which window managers
// and taskbars show whatever their support of the newer EWMH state; Qt only
// asks the window manager for the latter. A no-op off X11.

class QWidget;

namespace bellwick {

void setUrgency(QWidget& window, bool urgent);

}  // namespace bellwick
