#include "win32/win32_power.h"

#include "win32/win_api.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace bellwick {

namespace {

class WindowsPowerSystem final : public PowerSystem {
public:
    std::uint32_t setThreadExecutionState(std::uint32_t flags) override
    {
        return ::SetThreadExecutionState(static_cast<EXECUTION_STATE>(flags));
    }
    void* createWaitableTimer() override { return ::CreateWaitableTimerW(nullptr, FALSE, nullptr); }
    bool setWaitableTimer(void* timer, std::uint64_t dueUtc, bool resume) override
    {
        LARGE_INTEGER due;
        due.QuadPart = static_cast<LONGLONG>(dueUtc);  // positive: an absolute time
        ::SetLastError(ERROR_SUCCESS);                 // ERROR_NOT_SUPPORTED after success means no resume
        return ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, resume ? TRUE : FALSE) != FALSE;
    }
    bool cancelWaitableTimer(void* timer) override { return ::CancelWaitableTimer(timer) != FALSE; }
    void closeHandle(void* handle) override { ::CloseHandle(handle); }
    std::uint32_t lastError() override { return ::GetLastError(); }
};

void toStderr(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

}  // namespace

PowerSystem& windowsPowerSystem()
{
    static WindowsPowerSystem system;
    return system;
}

bool localToUtcFileTime(const DateTime& local, std::uint64_t& utc)
{
    SYSTEMTIME l{};
    l.wYear = static_cast<WORD>(local.date.year);
    l.wMonth = static_cast<WORD>(local.date.month);
    l.wDay = static_cast<WORD>(local.date.day);
    l.wHour = static_cast<WORD>(local.time.hour);
    l.wMinute = static_cast<WORD>(local.time.minute);
    l.wSecond = static_cast<WORD>(local.time.second);
    SYSTEMTIME u{};
    FILETIME ft{};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &l, &u) || !::SystemTimeToFileTime(&u, &ft)) return false;
    utc = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return true;
}

Win32Power::Win32Power() : Win32Power(windowsPowerSystem(), toStderr) {}

Win32Power::Win32Power(PowerSystem& system, Report report)
    : system_(system), report_(std::move(report)), timer_(nullptr, CloseThrough{&system})
{
}

// A timer whose last handle is closed is gone, and wakes nothing.
Win32Power::~Win32Power() = default;

void Win32Power::keepAwake(std::string_view /*reason*/) noexcept
{
    state(ES_CONTINUOUS | ES_SYSTEM_REQUIRED, "keep the computer awake");
}

void Win32Power::wakeAt(const DateTime& due) noexcept
{
    std::uint64_t utc = 0;
    if (!localToUtcFileTime(due, utc)) {
        report("bellwick: cannot wake the computer for the alarm: its local time does not convert (error " +
               std::to_string(::GetLastError()) + ")");
        return;
    }
    if (!timer_) timer_.reset(system_.createWaitableTimer());
    if (!timer_) {
        report("bellwick: cannot wake the computer for the alarm: no timer (error " +
               std::to_string(system_.lastError()) + ")");
        return;
    }
    timerSet_ = system_.setWaitableTimer(timer_.get(), utc, true);
    // Success with ERROR_NOT_SUPPORTED: set, but this system cannot resume for it.
    const std::uint32_t error = system_.lastError();
    if (!timerSet_)
        report("bellwick: cannot wake the computer for the alarm: the timer was refused (error " +
               std::to_string(error) + ")");
    else if (error == ERROR_NOT_SUPPORTED && !toldNoResume_) {
        toldNoResume_ = true;
        report("bellwick: this computer cannot be woken by a timer; keep it awake for the alarm");
    }
}

void Win32Power::release() noexcept
{
    if (timerSet_ && !system_.cancelWaitableTimer(timer_.get()))
        report("bellwick: cannot cancel the wake timer (error " + std::to_string(system_.lastError()) + ")");
    timerSet_ = false;
    state(ES_CONTINUOUS, "let the computer sleep again");
}

void Win32Power::showDisplay() noexcept { state(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED, "turn the display on"); }

void Win32Power::state(std::uint32_t flags, const char* what) noexcept
{
    if (system_.setThreadExecutionState(flags) == 0)
        report(std::string("bellwick: cannot ") + what + " (error " + std::to_string(system_.lastError()) + ")");
}

void Win32Power::report(const std::string& line) noexcept
{
    try {
        if (report_) report_(line);
    } catch (const std::exception&) {
        // Nowhere left to say it.
    }
}

}  // namespace bellwick
