// What an armed alarm asks of the computer's sleep, and when it lets go.
#include "handlers/fatal_report.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <stdexcept>

namespace bellwick {
namespace {

using Calls = std::vector<std::string>;

struct Harness {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};

    Harness(const DateTime& at, const std::string& alarm)
    {
        f.clock.time = at;
        s.load();
        w.setText(w.control("Text1"), alarm);
        w.setValue(w.control("Check1"), 1);
    }
};

DateTime dt(int d, int h, int m, int s) { return {{2026, 12, d}, {h, m, s}}; }

struct PowerCase {
    const char* name;
    DateTime armed;
    std::string alarm;
    std::vector<DateTime> ticks;
    Calls calls;
};

void PrintTo(const PowerCase& c, std::ostream* os) { *os << c.name; }

class PowerWishes : public testing::TestWithParam<PowerCase> {};

TEST_P(PowerWishes, FollowTheArmedAlarm)
{
    const PowerCase& c = GetParam();
    Harness h(c.armed, c.alarm);
    for (const DateTime& t : c.ticks) {
        h.f.clock.time = t;
        h.s.timer1Tick();
    }
    EXPECT_EQ(h.f.power.calls, c.calls);
}

const PowerCase kPowerCases[] = {
    {"FiringReleasesThenShowsTheDisplay",
     dt(7, 12, 0, 0),
     "12:00:02",
     {dt(7, 12, 0, 1), dt(7, 12, 0, 2), dt(7, 12, 0, 3)},
     {"keepAwake:Alarm set for 12:00:02", "wakeAt:2026-12-07 12:00:02", "release", "showDisplay"}},
    {"EarlierTimeOfDayWakesTomorrow",
     dt(7, 23, 0, 0),
     "07:00:00",
     {dt(7, 23, 0, 1)},
     {"keepAwake:Alarm set for 07:00:00", "wakeAt:2026-12-08 07:00:00"}},
    {"DatedAlarmWakesOnItsDateAndIsNamedAsTyped",
     dt(7, 12, 0, 0),
     "2027-01-02 06:15:00",
     {dt(7, 12, 0, 1)},
     {"keepAwake:Alarm set for 2027-01-02 06:15:00", "wakeAt:2027-01-02 06:15:00"}},
    {"UnreadableTextKeepsAwakeUntilTheTickFails",
     dt(7, 12, 0, 0),
     "soon",
     {dt(7, 12, 0, 0)},
     {"keepAwake:Alarm set for soon", "release"}},
    {"SteadyTicksSayNothingMore",
     dt(7, 12, 0, 0),
     "13:00:00",
     {dt(7, 12, 0, 0), dt(7, 12, 0, 0), dt(7, 12, 0, 1), dt(7, 12, 0, 3)},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00"}},
    {"ResumeFromSleepRenewsTheSameMoment",
     dt(7, 22, 0, 0),
     "06:30:00",
     {dt(7, 22, 0, 1), dt(8, 3, 12, 44), dt(8, 3, 12, 45)},
     {"keepAwake:Alarm set for 06:30:00", "wakeAt:2026-12-08 06:30:00", "wakeAt:2026-12-08 06:30:00"}},
    {"ClockSetBackRenewsTheSameMoment",
     dt(7, 1, 0, 0),
     "02:30:00",
     {dt(7, 1, 59, 59), dt(7, 1, 0, 0), dt(7, 1, 0, 1)},
     {"keepAwake:Alarm set for 02:30:00", "wakeAt:2026-12-07 02:30:00", "wakeAt:2026-12-07 02:30:00"}},
};

INSTANTIATE_TEST_SUITE_P(Table, PowerWishes, testing::ValuesIn(kPowerCases),
                         [](const testing::TestParamInfo<PowerCase>& info) { return std::string(info.param.name); });

TEST(PowerWishes, EveryWayOfDisarmingWithdrawsThemOnceAndFirst)
{
    const std::pair<const char*, std::function<void(Harness&)>> ways[] = {
        {"untick", [](Harness& h) { h.w.setValue(h.w.control("Check1"), 0); }},
        {"value 2", [](Harness& h) { h.w.setValue(h.w.control("Check1"), 2); }},
        {"terminate", [](Harness& h) { h.s.terminate(); }},
        {"badge", [](Harness& h) { h.s.image3Click(); }},
        {"fatal report",
         [](Harness& h) {
             FatalReport{h.f.messages, h.f.process, h.s}.guard([] { throw std::logic_error("bad"); });
         }},
    };
    for (const auto& [name, way] : ways) {
        Harness h(dt(7, 12, 0, 0), "13:00:00");
        h.f.power.calls.clear();
        h.w.onClose = [&] { h.f.power.calls.push_back("close"); };
        h.f.messages.whileOpen = [&] { h.f.power.calls.push_back("message"); };
        try {
            way(h);
            h.s.terminate();  // after disarming, nothing is left to withdraw
        } catch (const fakes::ProcessEnded&) {
        }
        ASSERT_FALSE(h.f.power.calls.empty()) << name;
        EXPECT_EQ(h.f.power.calls.front(), "release") << name;  // before the window goes or the box waits
        EXPECT_EQ(std::count(h.f.power.calls.begin(), h.f.power.calls.end(), "release"), 1) << name;
    }
}

}  // namespace
}  // namespace bellwick
