#include "qt/qt_ticker.h"

namespace bellwick {

QtTicker::QtTicker()
{
    if (wall_.fd() >= 0) {
        notifier_ = std::make_unique<QSocketNotifier>(wall_.fd(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
            switch (wall_.wake()) {
            case WallTimer::Wake::Due: fired(); break;
            case WallTimer::Wake::ClockSet: clockWasSet(); break;
            case WallTimer::Wake::Nothing: break;
            }
        });
        return;
    }
    // Coarse timers may fire 5 % early or late, off the second.
    fallback_.setTimerType(Qt::PreciseTimer);
    fallback_.setSingleShot(true);
    QObject::connect(&fallback_, &QTimer::timeout, [this] { fired(); });
}

void QtTicker::schedule(int ms)
{
    if (notifier_)
        wall_.arm(ms);
    else
        fallback_.start(ms);
}

}  // namespace bellwick
