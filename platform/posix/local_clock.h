#pragma once
// The system clock in the local time zone (TZ or /etc/localtime).

#include "ports/clock.h"

#include <ctime>

namespace bellwick {

class LocalClock final : public Clock {
public:
    WallTime read() const override;

private:
    mutable std::time_t zoneCheckedAt_ = -1;
};

}  // namespace bellwick
