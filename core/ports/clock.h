#pragma once

#include "rules/date_time.h"

namespace bellwick {

class Clock {
public:
    virtual ~Clock() = default;
    // The local wall-clock date and time, to the second.
    virtual DateTime now() const = 0;
};

}  // namespace bellwick
