#pragma once

#include "time/date_time.h"

namespace bellwick {

// One reading of the wall clock: the local date and time to the second and
// how far into that second it was taken.
struct WallTime {
    DateTime at;
    int millisecond = 0;  // 0..999
};

class Clock {
public:
    virtual ~Clock() = default;
    // The local wall clock, read precisely: a reading taken just after a
    // second begins shows that second.
    virtual WallTime read() const = 0;
    DateTime now() const { return read().at; }
};

}  // namespace bellwick
