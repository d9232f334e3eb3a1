#pragma once

#include <functional>
#include <utility>

namespace bellwick {

// The timer behind the clock's ticks.
class Ticker {
public:
    virtual ~Ticker() = default;
    // (Re)starts it: the first tick after firstMs, then one every everyMs.
    virtual void start(int firstMs, int everyMs) = 0;
};

// A Ticker over a platform timer that can only fire periodically: a single
// period of the offset, then the interval. A platform binds arm() and calls
// fired() from its timer.
class OffsetTicker : public Ticker {
public:
    // What each tick runs.
    void onTick(std::function<void()> tick) { tick_ = std::move(tick); }

    void start(int firstMs, int everyMs) final
    {
        every_ = everyMs;
        offset_ = true;
        arm(firstMs);
    }

protected:
    // (Re)arms the platform's timer to fire every ms.
    virtual void arm(int ms) = 0;

    void fired()
    {
        if (offset_) {
            offset_ = false;
            arm(every_);
        }
        // Last: the tick may start the timer anew.
        if (tick_) tick_();
    }

private:
    std::function<void()> tick_;
    int every_ = 0;
    bool offset_ = false;  // the running period is the offset, not the interval
};

}  // namespace bellwick
