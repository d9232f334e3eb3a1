#pragma once

#include "ports/clock.h"

namespace bellwick {

// The system clock in local time (GetLocalTime), to the second.
class Win32Clock final : public Clock {
public:
    DateTime now() const override;
};

}  // namespace bellwick
