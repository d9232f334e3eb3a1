#pragma once
// What the window paints on its own surface, back to front: the pictures,
// the clock label (no background of its own) and the line, at one DPI.

#include "view/view.h"
#include "win32/dpi.h"
#include "win32/gdi_objects.h"
#include "win32/pictures.h"
#include "window/window.h"

#include <map>

namespace bellwick {

class Surface {
public:
    // Decodes every image control's picture at the size of its box at this
    // DPI, smoothly resampled. A picture that cannot be decoded is drawn as
    // a plain box.
    Surface(Window& model, Dpi dpi);

    static bool paints(const Control& c);
    // Where a painted control draws: its box, or the band of a line.
    PixelRect rectOf(const Control& c) const;

    // Paints the whole client area (the device context clips).
    void paint(HDC dc, GdiObjects& gdi) const;

private:
    Window& model_;
    Dpi dpi_;
    std::map<const Control*, Picture> pictures_;
};

}  // namespace bellwick
