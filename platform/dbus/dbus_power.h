#pragma once
// Keeping a Linux desktop from suspending while an alarm is set, over D-Bus:
// the desktop portal's inhibitor on the session bus, else logind's on the
// system bus, else nothing but one line on standard error.

#include "ports/power.h"

#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include <cstdint>

namespace bellwick {

class DBusPower final : public Power {
public:
    // The buses are reached at the first keepAwake, not before.
    DBusPower() = default;
    ~DBusPower() override;
    DBusPower(const DBusPower&) = delete;
    DBusPower& operator=(const DBusPower&) = delete;

    void keepAwake(std::string_view reason) noexcept override;
    // Waking a suspended machine takes privileges a desktop program does
    // not have on Linux (a root-owned RTC alarm); the wish is not granted.
    void wakeAt(const DateTime&) noexcept override {}
    void release() noexcept override;
    // The desktop turns the screen on for the alarm's window itself.
    void showDisplay() noexcept override {}

private:
    void askPortal(const QString& reason, std::uint64_t wish);
    void askLogind(const QString& reason, std::uint64_t wish, const QString& portalAnswer);
    bool current(std::uint64_t wish) const { return wanted_ && wish == wish_; }
    void closePortalRequest(const QString& path);

    QObject replies_;               // owns the watchers of calls in flight
    std::uint64_t wish_ = 0;        // counts keepAwake and release calls
    bool wanted_ = false;           // between keepAwake and release
    QString portalRequest_;         // the portal's request object while it holds
    QDBusUnixFileDescriptor lock_;  // logind's inhibitor while it holds
    bool toldNothing_ = false;      // the line on standard error, once per run
};

}  // namespace bellwick
