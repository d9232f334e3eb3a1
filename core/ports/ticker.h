#pragma once

namespace bellwick {

// The timer behind the clock's ticks.
class Ticker {
public:
    virtual ~Ticker() = default;
    // (Re)starts it: the first tick after firstMs, then one every everyMs.
    virtual void start(int firstMs, int everyMs) = 0;
};

}  // namespace bellwick
