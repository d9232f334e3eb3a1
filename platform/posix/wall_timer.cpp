#include "posix/wall_timer.h"

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

namespace bellwick {

WallTimer::WallTimer() : fd_(::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {}

WallTimer::~WallTimer()
{
    if (fd_ >= 0) ::close(fd_);
}

void WallTimer::arm(int ms)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const std::int64_t ns = now.tv_nsec + std::int64_t{ms} * 1'000'000;
    itimerspec due{};
    due.it_value.tv_sec = now.tv_sec + static_cast<time_t>(ns / 1'000'000'000);
    due.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    // Absolute on the wall clock, so that a clock set cancels it: the wait
    // it stood for is no longer right.
    ::timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &due, nullptr);
}

WallTimer::Wake WallTimer::wake()
{
    std::uint64_t expirations = 0;
    if (::read(fd_, &expirations, sizeof expirations) == sizeof expirations) return Wake::Due;
    return errno == ECANCELED ? Wake::ClockSet : Wake::Nothing;
}

}  // namespace bellwick
