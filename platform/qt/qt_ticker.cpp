#include "qt/qt_ticker.h"

namespace bellwick {

QtTicker::QtTicker()
{
    // Coarse timers may fire 5 % early or late, which would undo the phase.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { fired(); });
}

}  // namespace bellwick
