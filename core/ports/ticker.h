#pragma once

#include <functional>
#include <utility>

namespace bellwick {

// The timer behind the clock's ticks: one tick at a time, each asked for by
// the handlers when the one before has run. Between ticks nothing wakes.
class Ticker {
public:
    virtual ~Ticker() = default;
    // One tick after ms milliseconds; replaces a tick not yet run.
    virtual void schedule(int ms) = 0;

    // What a tick runs.
    void onTick(std::function<void()> tick) { tick_ = std::move(tick); }
    // What runs when the wall clock was set, where the platform can tell.
    void onClockSet(std::function<void()> set) { clockSet_ = std::move(set); }

protected:
    void fired()
    {
        if (tick_) tick_();
    }
    void clockWasSet()
    {
        if (clockSet_) clockSet_();
    }

private:
    std::function<void()> tick_, clockSet_;
};

}  // namespace bellwick
