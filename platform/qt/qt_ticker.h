#pragma once
// The clock's ticks on a wall-clock timer watched by the event loop, which
// also tells when the clock was set; a precise QTimer where the system has
// no such timer.

#include "ports/ticker.h"
#include "posix/wall_timer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <memory>

namespace bellwick {

class QtTicker final : public Ticker {
public:
    QtTicker();
    void schedule(int ms) override;

private:
    WallTimer wall_;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer fallback_;
};

}  // namespace bellwick
