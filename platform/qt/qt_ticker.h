#pragma once
// The clock's ticks on a precise QTimer.

#include "ports/ticker.h"

#include <QTimer>

namespace bellwick {

class QtTicker final : public OffsetTicker {
public:
    QtTicker();

private:
    void arm(int ms) override { timer_.start(ms); }

    QTimer timer_;
};

}  // namespace bellwick
