#include "shaping/rounding.h"

#include <cfenv>
#include <cmath>

namespace bellwick {

std::int32_t roundToInt32(double value)
{
    // std::nearbyint honours the rounding mode; make sure it is to-nearest-even
    // whatever a caller left behind.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    if (mode != FE_TONEAREST) std::fesetround(mode);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) throw std::overflow_error("value does not fit a 32-bit integer");
    return static_cast<std::int32_t>(r);
}

}  // namespace bellwick
