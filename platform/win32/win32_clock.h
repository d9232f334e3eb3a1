#pragma once

#include "ports/clock.h"

namespace bellwick {

// The system clock in local time, read to the sub-millisecond
// (GetSystemTimePreciseAsFileTime; GetLocalTime moves in 15.6 ms steps).
class Win32Clock final : public Clock {
public:
    WallTime read() const override;
};

}  // namespace bellwick
