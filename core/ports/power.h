#pragma once
// The computer's sleep, as far as an armed alarm needs it.

#include "time/date_time.h"

#include <string_view>

namespace bellwick {

// Wishes, not orders: a system that cannot grant one carries on without it,
// and an implementation reports that itself (never by throwing), so that a
// missing power service never stops an alarm from arming or ringing.
class Power {
public:
    virtual ~Power() = default;
    // Keep the system from falling asleep by itself until release();
    // reason is for the desktop to show, e.g. "Alarm set for 07:00:00".
    virtual void keepAwake(std::string_view reason) noexcept = 0;
    // Wake a sleeping system at this local wall-clock moment; a later call
    // replaces the moment.
    virtual void wakeAt(const DateTime& due) noexcept = 0;
    // Withdraws keepAwake and wakeAt.
    virtual void release() noexcept = 0;
    // The alarm rings: turn the display on, so the window is seen.
    virtual void showDisplay() noexcept = 0;
};

}  // namespace bellwick
