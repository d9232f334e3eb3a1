#pragma once
// Keeping Windows awake for an armed alarm and waking it for the alarm:
// the thread's execution state and a waitable timer that resumes the system.

#include "ports/power.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace bellwick {

// The system calls Win32Power makes, so that tests can see their arguments.
class PowerSystem {
public:
    virtual ~PowerSystem() = default;
    // SetThreadExecutionState: the previous state, 0 on failure.
    virtual std::uint32_t setThreadExecutionState(std::uint32_t flags) = 0;
    // CreateWaitableTimerW, unnamed and auto-reset: null on failure.
    virtual void* createWaitableTimer() = 0;
    // SetWaitableTimer, once, at dueUtc (a FILETIME: 100 ns since 1601 UTC).
    virtual bool setWaitableTimer(void* timer, std::uint64_t dueUtc, bool resume) = 0;
    virtual bool cancelWaitableTimer(void* timer) = 0;
    virtual void closeHandle(void* handle) = 0;
    // GetLastError, read right after a call.
    virtual std::uint32_t lastError() = 0;
};

// The real calls.
PowerSystem& windowsPowerSystem();

// The local wall-clock moment as a FILETIME in UTC, by the time zone's rules
// for that moment (daylight saving included); false when it cannot be had.
bool localToUtcFileTime(const DateTime& local, std::uint64_t& utc);

// keepAwake holds ES_SYSTEM_REQUIRED (continuous) on the GUI thread, which
// resets the idle timer but leaves the display to sleep; wakeAt sets one
// waitable timer with fResume, so a system asleep with wake timers allowed
// resumes for it; release cancels the timer and goes back to ES_CONTINUOUS
// alone. showDisplay resets the display's and the system's idle timers once.
// Failures are reported as one line each and change nothing else.
class Win32Power final : public Power {
public:
    using Report = std::function<void(const std::string& line)>;
    // Reports to standard error.
    Win32Power();
    Win32Power(PowerSystem& system, Report report);
    ~Win32Power() override;
    Win32Power(const Win32Power&) = delete;
    Win32Power& operator=(const Win32Power&) = delete;

    // The reason has no place in the execution state; it is not shown.
    void keepAwake(std::string_view reason) noexcept override;
    void wakeAt(const DateTime& due) noexcept override;
    void release() noexcept override;
    void showDisplay() noexcept override;

private:
    void state(std::uint32_t flags, const char* what) noexcept;
    void report(const std::string& line) noexcept;

    // Closes a handle through the system calls, so that tests see it.
    struct CloseThrough {
        PowerSystem* system;
        void operator()(void* handle) const noexcept { system->closeHandle(handle); }
    };

    PowerSystem& system_;
    Report report_;
    std::unique_ptr<void, CloseThrough> timer_;  // made at the first wakeAt, kept to the end
    bool timerSet_ = false;
    bool toldNoResume_ = false;
};

}  // namespace bellwick
