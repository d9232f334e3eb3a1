#pragma once
// SIGTERM, SIGINT and SIGHUP, delivered on the GUI thread.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace bellwick {

class TerminationSignals final : public QObject {
    Q_OBJECT
public:
    // Calls onSignal from the event loop after any of the three signals.
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace bellwick
