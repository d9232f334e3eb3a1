// Win32Power's system calls and their arguments, through a recording seam,
// and the real calls under the system.
#include "win32/win32_power.h"
#include "win32/win_api.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace bellwick {
namespace {

using Calls = std::vector<std::string>;

std::string state(std::uint32_t flags) { return "state " + std::to_string(flags); }

std::string set(const DateTime& local)
{
    std::uint64_t utc = 0;
    EXPECT_TRUE(localToUtcFileTime(local, utc));
    return "set " + std::to_string(utc) + " resume";
}

class FakeSystem final : public PowerSystem {
public:
    Calls calls;
    bool refuseTimer = false, noResume = false;
    std::uint32_t setThreadExecutionState(std::uint32_t flags) override
    {
        calls.push_back(state(flags));
        return ES_CONTINUOUS;
    }
    void* createWaitableTimer() override
    {
        calls.push_back("create");
        return refuseTimer ? nullptr : this;
    }
    bool setWaitableTimer(void* timer, std::uint64_t due, bool resume) override
    {
        calls.push_back("set " + std::to_string(due) + (resume ? " resume" : ""));
        return timer == this;
    }
    bool cancelWaitableTimer(void* timer) override
    {
        calls.push_back("cancel");
        return timer == this;
    }
    void closeHandle(void*) override { calls.push_back("close"); }
    std::uint32_t lastError() override { return noResume ? ERROR_NOT_SUPPORTED : ERROR_SUCCESS; }
};

const DateTime kDue{{2026, 12, 8}, {7, 0, 0}};
const std::uint32_t kAwake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;

struct PowerCase {
    const char* name;
    bool refuseTimer, noResume;
    std::function<void(Power&)> use;
    Calls calls;
    int reports;
};

void PrintTo(const PowerCase& c, std::ostream* os) { *os << c.name; }

class Win32PowerCalls : public testing::TestWithParam<PowerCase> {};

TEST_P(Win32PowerCalls, CarryTheWishes)
{
    const PowerCase& c = GetParam();
    FakeSystem system;
    system.refuseTimer = c.refuseTimer;
    system.noResume = c.noResume;
    Calls reports;
    {
        Win32Power power(system, [&](const std::string& line) { reports.push_back(line); });
        c.use(power);
    }
    EXPECT_EQ(system.calls, c.calls);
    EXPECT_EQ(static_cast<int>(reports.size()), c.reports);
}

INSTANTIATE_TEST_SUITE_P(Table, Win32PowerCalls,
                         testing::Values(PowerCase{"ArmedRenewedAndFired",
                                                   false,
                                                   false,
                                                   [](Power& p) {
                                                       p.keepAwake("Alarm set for 07:00:00");
                                                       p.wakeAt(kDue);
                                                       p.wakeAt(kDue);
                                                       p.release();
                                                       p.showDisplay();
                                                   },
                                                   {state(kAwake), "create", set(kDue), set(kDue), "cancel",
                                                    state(ES_CONTINUOUS),
                                                    state(ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED), "close"},
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
                                                   {"create", set(kDue), set(kDue), "close"},
                                                   1}),
                         [](const testing::TestParamInfo<PowerCase>& info) { return std::string(info.param.name); });

TEST(LocalToUtcFileTime, ReadsBackAsTheSameLocalMoment)
{
    std::uint64_t utc = 0;
    ASSERT_TRUE(localToUtcFileTime(kDue, utc));
    const FILETIME ft{static_cast<DWORD>(utc), static_cast<DWORD>(utc >> 32)};
    SYSTEMTIME u{}, l{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &u) && SystemTimeToTzSpecificLocalTime(nullptr, &u, &l));
    EXPECT_EQ(DateTime({{l.wYear, l.wMonth, l.wDay}, {l.wHour, l.wMinute, l.wSecond}}), kDue);
}

TEST(Win32Power, RealTimerIsMadeSetAndCancelled)
{
    PowerSystem& system = windowsPowerSystem();
    void* timer = system.createWaitableTimer();
    ASSERT_NE(timer, nullptr);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::uint64_t due = 0;
    ASSERT_TRUE(localToUtcFileTime({{now.wYear + 1, 1, 2}, {7, 0, 0}}, due));
    EXPECT_TRUE(system.setWaitableTimer(timer, due, true));
    EXPECT_EQ(WaitForSingleObject(timer, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // set, and not due yet
    EXPECT_TRUE(system.cancelWaitableTimer(timer));
    system.closeHandle(timer);

    Calls reports;
    {
        Win32Power power(system, [&](const std::string& line) { reports.push_back(line); });
        power.keepAwake("Alarm set");
        power.wakeAt({{now.wYear + 1, 1, 2}, {7, 0, 0}});
        power.release();
        power.showDisplay();
    }
    EXPECT_EQ(reports, Calls{});
}

}  // namespace
}  // namespace bellwick
