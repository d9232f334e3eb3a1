#pragma once
// The system clock in the local time zone (TZ or /etc/localtime).

#include "ports/clock.h"

namespace bellwick {

class LocalClock final : public Clock {
public:
    WallTime read() const override;
};

}  // namespace bellwick
