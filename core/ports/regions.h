#pragma once
// Window regions: the six operations the shaping procedure uses.

#include "window/window.h"

#include <cstdint>

namespace bellwick {

using Region = std::uintptr_t;  // 0 is no region

struct Point {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Typed, so that no macro of a system header can touch them; the values
// are the system's own.
enum class CombineMode : int { Xor = 3 };
enum class FillMode : int { Alternate = 1 };

class Regions {
public:
    virtual ~Regions() = default;
    virtual Region CreateRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    virtual Region CreateEllipticRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) = 0;
    virtual Region CreateRoundRectRgn(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                      std::int32_t ellipseWidth, std::int32_t ellipseHeight) = 0;
    virtual Region CreatePolygonRgn(const Point* points, int count, FillMode fillMode) = 0;
    virtual int CombineRgn(Region destination, Region source1, Region source2, CombineMode mode) = 0;
    // redraw is a Windows BOOL: any non-zero value redraws.
    virtual int SetWindowRgn(WindowHandle window, Region region, int redraw) = 0;
};

}  // namespace bellwick
