// Win32Power's system calls and their arguments, through a recording seam,
// and once for real under the system.
#include "win32/win32_power.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bellwick {
namespace {

using Calls = std::vector<std::string>;

std::string state(std::uint32_t flags)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "state(%#x)", static_cast<unsigned>(flags));
    return buf;
}

std::string set(std::uint64_t due, bool resume) { return "set(" + std::to_string(due) + (resume ? ", resume)" : ")"); }

// Records each call; answers as told, or passes it on to the real system.
class RecordingSystem final : public PowerSystem {
public:
    explicit RecordingSystem(PowerSystem* real = nullptr) : real_(real) {}
    Calls calls;
    bool refuseTimer = false;   // CreateWaitableTimerW fails
    bool noResume = false;      // SetWaitableTimer succeeds with ERROR_NOT_SUPPORTED
    std::vector<bool> results;  // what the real calls returned, success as true

    std::uint32_t setThreadExecutionState(std::uint32_t flags) override
    {
        calls.push_back(state(flags));
        return keep(real_ ? real_->setThreadExecutionState(flags) : ES_CONTINUOUS);
    }
    void* createWaitableTimer() override
    {
        calls.push_back("create");
        if (real_) return keep(real_->createWaitableTimer());
        return refuseTimer ? nullptr : &timer_;
    }
    bool setWaitableTimer(void* timer, std::uint64_t due, bool resume) override
    {
        calls.push_back(set(due, resume));
        error_ = noResume ? ERROR_NOT_SUPPORTED : ERROR_SUCCESS;
        return keep(real_ ? real_->setWaitableTimer(timer, due, resume) : timer == &timer_);
    }
    bool cancelWaitableTimer(void* timer) override
    {
        calls.push_back("cancel");
        return keep(real_ ? real_->cancelWaitableTimer(timer) : timer == &timer_);
    }
    void closeHandle(void* handle) override
    {
        calls.push_back("close");
        if (real_) real_->closeHandle(handle);
    }
    std::uint32_t lastError() override { return real_ ? real_->lastError() : error_; }

private:
    template <typename T>
    T keep(T value)
    {
        if (real_) results.push_back(value != T{});
        return value;
    }
    PowerSystem* real_;
    int timer_ = 0;
    std::uint32_t error_ = ERROR_SUCCESS;
};

const DateTime kDue{{2026, 12, 8}, {7, 0, 0}};

std::uint64_t utc(const DateTime& local)
{
    std::uint64_t value = 0;
    EXPECT_TRUE(localToUtcFileTime(local, value));
    return value;
}

struct PowerCase {
    const char* name;
    bool refuseTimer, noResume;
    std::function<void(Power&)> use;
    Calls calls;
    int reports;
};

void PrintTo(const PowerCase& c, std::ostream* os) { *os << c.name; }

class Win32PowerCalls : public testing::TestWithParam<PowerCase> {};

TEST_P(Win32PowerCalls, MakeTheSystemCallsWithTheirArguments)
{
    const PowerCase& c = GetParam();
    RecordingSystem system;
    system.refuseTimer = c.refuseTimer;
    system.noResume = c.noResume;
    std::vector<std::string> reports;
    {
        Win32Power power(system, [&](const std::string& line) { reports.push_back(line); });
        c.use(power);
    }
    EXPECT_EQ(system.calls, c.calls);
    EXPECT_EQ(static_cast<int>(reports.size()), c.reports) << (reports.empty() ? "" : reports[0]);
}

const std::uint32_t kAwake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;

INSTANTIATE_TEST_SUITE_P(
    Table, Win32PowerCalls,
    testing::Values(PowerCase{"ArmedThenUnticked",
                              false,
                              false,
                              [](Power& p) {
                                  p.keepAwake("Alarm set for 07:00:00");
                                  p.wakeAt(kDue);
                                  p.release();
                              },
                              {state(kAwake), "create", set(utc(kDue), true), "cancel", state(ES_CONTINUOUS), "close"},
                              0},
                    PowerCase{"FiredTurnsTheDisplayOnAfterReleasing",
                              false,
                              false,
                              [](Power& p) {
                                  p.keepAwake("Alarm set for 07:00:00");
                                  p.wakeAt(kDue);
                                  p.release();
                                  p.showDisplay();
                              },
                              {state(kAwake), "create", set(utc(kDue), true), "cancel", state(ES_CONTINUOUS),
                               state(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED), "close"},
                              0},
                    PowerCase{"RenewedAfterAJumpReusesTheTimer",
                              false,
                              false,
                              [](Power& p) {
                                  p.keepAwake("Alarm set for 07:00:00");
                                  p.wakeAt(kDue);
                                  p.wakeAt(kDue);
                              },
                              {state(kAwake), "create", set(utc(kDue), true), set(utc(kDue), true), "close"},
                              0},
                    PowerCase{"AwakeWithoutAWakeMomentCancelsNothing",
                              false,
                              false,
                              [](Power& p) {
                                  p.keepAwake("Alarm set for soon");
                                  p.release();
                              },
                              {state(kAwake), state(ES_CONTINUOUS)},
                              0},
                    PowerCase{"NoTimerIsReportedAndStaysAwake",
                              true,
                              false,
                              [](Power& p) {
                                  p.keepAwake("Alarm set for 07:00:00");
                                  p.wakeAt(kDue);
                                  p.release();
                              },
                              {state(kAwake), "create", state(ES_CONTINUOUS)},
                              1},
                    PowerCase{"NoResumeIsToldOnce",
                              false,
                              true,
                              [](Power& p) {
                                  p.wakeAt(kDue);
                                  p.wakeAt(kDue);
                              },
                              {"create", set(utc(kDue), true), set(utc(kDue), true), "close"},
                              1}),
    [](const testing::TestParamInfo<PowerCase>& info) { return std::string(info.param.name); });

TEST(LocalToUtcFileTime, ReadsBackAsTheSameLocalMomentADayApart)
{
    for (const DateTime local : {DateTime{{2026, 1, 15}, {7, 0, 0}}, DateTime{{2026, 7, 15}, {23, 59, 59}}}) {
        const std::uint64_t ft = utc(local);
        const FILETIME f{static_cast<DWORD>(ft), static_cast<DWORD>(ft >> 32)};
        SYSTEMTIME u{}, back{};
        ASSERT_TRUE(FileTimeToSystemTime(&f, &u));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &u, &back));
        EXPECT_EQ(DateTime({{back.wYear, back.wMonth, back.wDay}, {back.wHour, back.wMinute, back.wSecond}}), local);
        DateTime next = local;
        next.date.day += 1;
        EXPECT_EQ(utc(next) - ft, 24ULL * 3600 * 10000000);  // in 100 ns steps
    }
}

TEST(Win32Power, RealCallsSucceed)
{
    RecordingSystem system(&windowsPowerSystem());
    std::vector<std::string> reports;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    {
        Win32Power power(system, [&](const std::string& line) { reports.push_back(line); });
        power.keepAwake("Alarm set");
        power.wakeAt({{now.wYear + 1, 1, 2}, {7, 0, 0}});
        power.release();
        power.showDisplay();
    }
    EXPECT_EQ(system.calls.size(), 7u);
    EXPECT_EQ(system.results, std::vector<bool>(system.calls.size() - 1, true));  // all but close
    EXPECT_TRUE(reports.empty()) << reports[0];
}

}  // namespace
}  // namespace bellwick
