#pragma once

#include "ports/clock.h"

namespace bellwick {

// The system clock in local time, read to the sub-millisecond from Windows 8
// on (GetSystemTimePreciseAsFileTime), in the timer tick's steps on Windows 7.
class Win32Clock final : public Clock {
public:
    WallTime read() const override;
};

}  // namespace bellwick
