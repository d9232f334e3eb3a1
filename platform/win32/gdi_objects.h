#pragma once
// Fonts and brushes, each made once and kept for the window's life; a
// brush that cannot be made is the stock white brush.

#include "win32/dpi.h"
#include "win32/handles.h"
#include "win32/win_api.h"
#include "window/control.h"

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace bellwick {

inline COLORREF colourOf(const Rgb& c) { return RGB(c.r, c.g, c.b); }

class GdiObjects {
public:
    // Fonts for a window at this DPI; another DPI takes another set.
    explicit GdiObjects(Dpi dpi = Dpi()) : dpi_(dpi) {}

    // The face at its pixel size scaled to the DPI (so the layout never
    // moves), weight as given, character set 0 (ANSI); the system's GUI
    // font for none.
    HFONT font(const std::optional<Font>& f);
    HBRUSH brush(COLORREF colour);

private:
    Dpi dpi_;
    std::vector<std::pair<Font, win32::GdiFont>> fonts_;
    win32::GdiFont guiFont_;  // the system's GUI font, scaled
    std::map<COLORREF, win32::GdiBrush> brushes_;
};

}  // namespace bellwick
