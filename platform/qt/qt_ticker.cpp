#include "qt/qt_ticker.h"

namespace bellwick {

QtTicker::QtTicker()
{
    // Coarse timers may fire 5 % early or late, which would undo the phase.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (offset_) {
            offset_ = false;
            timer_.start(every_);
        }
        // Last: the tick may start the timer anew.
        if (tick_) tick_();
    });
}

void QtTicker::start(int firstMs, int everyMs)
{
    every_ = everyMs;
    offset_ = true;
    timer_.start(firstMs);
}

}  // namespace bellwick
