#pragma once
// The layout is drawn for 96 dots per inch. On a denser screen every length
// of it is scaled by the window's DPI; at 96 nothing changes.

#include "view/view.h"

namespace bellwick {

class Dpi {
public:
    static constexpr unsigned kLayout = 96;

    explicit Dpi(unsigned dpi = kLayout) : dpi_(dpi ? dpi : kLayout) {}

    unsigned value() const { return dpi_; }
    // A layout length at this DPI, to the nearest pixel (halves up).
    int scale(int length) const;
    // The edges are scaled, not the size: boxes that touch keep touching.
    PixelRect scale(const PixelRect& r) const;
    // A scaled length or point back in layout pixels: the point lies in a
    // scaled box exactly when its layout point lies in the layout box.
    int unscale(int x) const;
    PixelPoint unscale(int x, int y) const;

    friend bool operator==(Dpi, Dpi) = default;

private:
    unsigned dpi_;
};

}  // namespace bellwick
