#pragma once
// A one-shot timer of the wall clock (timerfd on CLOCK_REALTIME): the
// kernel wakes it at its moment, and early when the clock is set. A
// toolkit watches fd() for reading and then calls wake().

namespace bellwick {

class WallTimer {
public:
    enum class Wake { Nothing, Due, ClockSet };

    // fd() is -1 when the system has no such timer.
    WallTimer();
    ~WallTimer();
    WallTimer(const WallTimer&) = delete;
    WallTimer& operator=(const WallTimer&) = delete;

    int fd() const { return fd_; }
    // Due ms milliseconds from now on the wall clock; replaces the last.
    void arm(int ms);
    // What woke the timer; once per wake-up.
    Wake wake();

private:
    int fd_ = -1;
};

}  // namespace bellwick
