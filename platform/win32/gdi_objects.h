#pragma once
// Fonts and brushes, each made once and kept for the window's life; a
// brush that cannot be made is the stock white brush.

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
    // The face at its pixel size (so the layout never moves), weight as
    // given, character set 0 (ANSI); the system's GUI font for none.
    HFONT font(const std::optional<Font>& f);
    HBRUSH brush(COLORREF colour);

private:
    std::vector<std::pair<Font, win32::GdiFont>> fonts_;
    std::map<COLORREF, win32::GdiBrush> brushes_;
};

}  // namespace bellwick
