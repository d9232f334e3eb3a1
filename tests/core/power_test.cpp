// What an armed alarm asks of the computer's sleep, and when it lets go.
#include "app/fatal_report.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace bellwick {
namespace {

using Calls = std::vector<std::string>;

struct Harness {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, Services{f.regions, f.messages, f.process, f.settings, f.player, f.dialog, f.clock, f.timeText, f.log,
                           f.power}};

    Harness(const DateTime& at, const std::string& alarm)
    {
        f.clock.time = at;
        s.load();
        w.setText(w.control("Text1"), alarm);
    }
    void arm() { w.setValue(w.control("Check1"), 1); }
};

DateTime dt(int d, int h, int m, int s) { return {{2026, 12, d}, {h, m, s}}; }

// One step after arming: a tick at a moment, the user setting Check1, or
// the user typing a new alarm text.
struct Step {
    enum { Tick, Value, Type } kind;
    DateTime at{};
    int value = 0;
    std::string text{};
};
Step tick(const DateTime& at) { return {Step::Tick, at}; }
Step setValue(int v) { return {Step::Value, {}, v}; }
Step type(const std::string& text) { return {Step::Type, {}, 0, text}; }

struct PowerCase {
    const char* name;
    DateTime armed;
    std::string alarm;
    std::vector<Step> steps;
    Calls calls;
};

class PowerWishes : public testing::TestWithParam<PowerCase> {};

TEST_P(PowerWishes, AreSaidWhileArmedAndWithdrawnWhenDisarmed)
{
    const PowerCase& c = GetParam();
    Harness h(c.armed, c.alarm);
    h.arm();
    for (const Step& step : c.steps) {
        switch (step.kind) {
        case Step::Tick:
            h.f.clock.time = step.at;
            h.s.timer1Tick();
            break;
        case Step::Value: h.w.setValue(h.w.control("Check1"), step.value); break;
        case Step::Type: h.w.setText(h.w.control("Text1"), step.text); break;
        }
    }
    EXPECT_EQ(h.f.power.calls, c.calls);
}

const PowerCase kPowerCases[] = {
    {"FiringReleasesThenShowsTheDisplay",
     dt(7, 12, 0, 0),
     "12:00:02",
     {tick(dt(7, 12, 0, 1)), tick(dt(7, 12, 0, 2)), tick(dt(7, 12, 0, 3))},
     {"keepAwake:Alarm set for 12:00:02", "wakeAt:2026-12-07 12:00:02", "release", "showDisplay"}},
    {"EarlierTimeOfDayWakesTomorrow",
     dt(7, 23, 0, 0),
     "07:00:00",
     {tick(dt(7, 23, 0, 0))},
     {"keepAwake:Alarm set for 07:00:00", "wakeAt:2026-12-08 07:00:00"}},
    {"DatedAlarmWakesOnItsDateAndIsNamedAsTyped",
     dt(7, 12, 0, 0),
     "2027-01-02 06:15:00",
     {tick(dt(7, 12, 0, 1))},
     {"keepAwake:Alarm set for 2027-01-02 06:15:00", "wakeAt:2027-01-02 06:15:00"}},
    {"UntickedByTheUser",
     dt(7, 12, 0, 0),
     "13:00:00",
     {tick(dt(7, 12, 0, 1)), setValue(0), tick(dt(7, 12, 0, 2))},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00", "release"}},
    {"ValueOtherThanOneDisarms",
     dt(7, 12, 0, 0),
     "13:00:00",
     {setValue(2), setValue(0)},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00", "release"}},
    {"UnreadableTextKeepsAwakeUntilTheTickFails",
     dt(7, 12, 0, 0),
     "soon",
     {tick(dt(7, 12, 0, 0))},
     {"keepAwake:Alarm set for soon", "release"}},
    {"RearmingSaysTheWishesAgain",
     dt(7, 12, 0, 0),
     "13:00:00",
     {setValue(0), tick(dt(7, 13, 30, 0)), setValue(1)},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00", "release", "keepAwake:Alarm set for 13:00:00",
      "wakeAt:2026-12-08 13:00:00"}},
    {"SteadyTicksSayNothingMore",
     dt(7, 12, 0, 0),
     "13:00:00",
     {tick(dt(7, 12, 0, 0)), tick(dt(7, 12, 0, 0)), tick(dt(7, 12, 0, 1)), tick(dt(7, 12, 0, 2)),
      tick(dt(7, 12, 0, 4))},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00"}},
    {"ResumeFromSleepRenewsTheSameMoment",
     dt(7, 22, 0, 0),
     "06:30:00",
     {tick(dt(7, 22, 0, 1)), tick(dt(8, 3, 12, 44)), tick(dt(8, 3, 12, 45))},
     {"keepAwake:Alarm set for 06:30:00", "wakeAt:2026-12-08 06:30:00", "wakeAt:2026-12-08 06:30:00"}},
    {"ClockSetBackRenewsTheSameMoment",
     dt(7, 1, 0, 0),
     "02:30:00",
     {tick(dt(7, 1, 59, 59)), tick(dt(7, 1, 0, 0)), tick(dt(7, 1, 0, 1))},
     {"keepAwake:Alarm set for 02:30:00", "wakeAt:2026-12-07 02:30:00", "wakeAt:2026-12-07 02:30:00"}},
    {"JumpOverTheAlarmFiresInsteadOfRenewing",
     dt(7, 22, 0, 0),
     "06:30:00",
     {tick(dt(8, 9, 0, 0))},
     {"keepAwake:Alarm set for 06:30:00", "wakeAt:2026-12-08 06:30:00", "release", "showDisplay"}},
    {"NewAlarmTextWhileArmedMovesTheWakeMoment",
     dt(7, 12, 0, 0),
     "13:00:00",
     {tick(dt(7, 12, 0, 1)), type("11:00:00"), tick(dt(7, 12, 0, 2))},
     {"keepAwake:Alarm set for 13:00:00", "wakeAt:2026-12-07 13:00:00", "wakeAt:2026-12-08 11:00:00"}},
};

INSTANTIATE_TEST_SUITE_P(Table, PowerWishes, testing::ValuesIn(kPowerCases),
                         [](const testing::TestParamInfo<PowerCase>& info) { return std::string(info.param.name); });

TEST(PowerWishes, EveryWayOutWithdrawsThemOnce)
{
    struct Way {
        const char* name;
        bool armed;
        void (*end)(Harness&);
        Calls calls;
    };
    const Way ways[] = {
        {"terminate", true, [](Harness& h) { h.s.terminate(); }, {"release", "close"}},
        {"badge", true, [](Harness& h) { h.s.image3Click(); }, {"release", "close"}},
        {"fatal",
         true,
         [](Harness& h) {
             FatalReport report{h.f.messages, h.f.process, h.s};
             report.guard([] { throw std::logic_error("bad"); });
         },
         {"release", "message"}},
        {"terminate unarmed", false, [](Harness& h) { h.s.terminate(); }, {"close"}},
    };
    for (const Way& way : ways) {
        Harness h(dt(7, 12, 0, 0), "13:00:00");
        if (way.armed) h.arm();
        h.f.power.calls.clear();
        h.w.onClose = [&] { h.f.power.calls.push_back("close"); };
        h.f.messages.whileOpen = [&] { h.f.power.calls.push_back("message"); };
        EXPECT_THROW(way.end(h), fakes::ProcessEnded) << way.name;
        // Withdrawn before the window goes, and before the fatal box waits.
        EXPECT_EQ(h.f.power.calls, way.calls) << way.name;
    }
}

}  // namespace
}  // namespace bellwick
