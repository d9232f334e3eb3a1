#include "view/dpi.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace bellwick {

namespace {

int floorDiv(std::int64_t a, std::int64_t b) { return static_cast<int>(a >= 0 ? a / b : -((-a + b - 1) / b)); }

}  // namespace

int Dpi::scale(int length) const
{
    if (dpi_ == kLayout) return length;
    const double scaled = std::floor(static_cast<double>(length) * dpi_ / kLayout + 0.5);
    return static_cast<int>(std::clamp(scaled, double{INT_MIN}, double{INT_MAX}));
}

PixelRect Dpi::scale(const PixelRect& r) const
{
    const int left = scale(r.left), top = scale(r.top);
    return {left, top, scale(r.left + r.width) - left, scale(r.top + r.height) - top};
}

// The largest layout v with scale(v) <= x, so that a point lies in a scaled
// box exactly when its layout point lies in the layout box.
int Dpi::unscale(int x) const { return floorDiv((2 * std::int64_t{x} + 1) * kLayout - 1, 2 * std::int64_t{dpi_}); }

PixelPoint Dpi::unscale(int x, int y) const { return {unscale(x), unscale(y)}; }

}  // namespace bellwick
