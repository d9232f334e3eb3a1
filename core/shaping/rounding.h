#pragma once
// Conversion of computed coordinates to 32-bit integers.

#include <cstdint>
#include <stdexcept>

namespace bellwick {

// Rounds to the nearest integer, halfway cases to the even one (22.5 -> 22,
// 23.5 -> 24, -2.5 -> -2). Throws std::overflow_error for NaN, infinities
// and values outside the signed 32-bit range.
std::int32_t roundToInt32(double value);

}  // namespace bellwick
