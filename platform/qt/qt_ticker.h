#pragma once
// The clock's ticks on a precise QTimer: a single shot for the offset to
// the phase, then periodic.

#include "ports/ticker.h"

#include <QTimer>

#include <functional>

namespace bellwick {

class QtTicker final : public Ticker {
public:
    QtTicker();
    // What each tick runs.
    void onTick(std::function<void()> tick) { tick_ = std::move(tick); }
    void start(int firstMs, int everyMs) override;

private:
    QTimer timer_;
    std::function<void()> tick_;
    int every_ = 0;
    bool offset_ = false;  // the running shot is the offset, not the interval
};

}  // namespace bellwick
