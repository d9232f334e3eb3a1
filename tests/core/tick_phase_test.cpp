#include "handlers/snoozard.h"
#include "handlers/tick_phase.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>

namespace bellwick {
namespace {

struct Phase {
    const char* name;
    int millisecond, interval;
    bool changed;
    int toNext;
};

void PrintTo(const Phase& p, std::ostream* os) { *os << p.name; }

class TickPhase : public testing::TestWithParam<Phase> {};

TEST_P(TickPhase, NextTick)
{
    const Phase& p = GetParam();
    EXPECT_EQ(msToNextTick(p.millisecond, p.interval, p.changed), p.toNext);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, TickPhase,
    testing::Values(Phase{"AtTheSecondsTick", 1, 50, false, 1000}, Phase{"LateInTheSecond", 640, 50, false, 361},
                    // Early: the reading still shows the old second.
                    Phase{"JustBeforeTheSecond", 999, 50, false, 2}, Phase{"OnTheSecondItself", 0, 50, false, 1},
                    Phase{"ChangedAtTheSecondsTick", 1, 50, true, 50}, Phase{"ChangedMidStep", 640, 50, true, 11},
                    Phase{"ChangedInTheLastStep", 990, 50, true, 11},
                    // A step that does not divide the second ends at the next one.
                    Phase{"UnevenStepEndsAtTheSecond", 901, 300, true, 100},
                    Phase{"StepLongerThanASecond", 401, 1500, true, 600}, Phase{"TimerOff", 401, 0, true, 600}),
    [](const auto& info) { return std::string(info.param.name); });

// A Snoozard on simulated time: ticks run when the ticker's timer is due;
// the wall clock is that time plus an offset, which a clock set changes.
class Night {
public:
    static constexpr std::int64_t kStartWall = 43200 * 1000 + 700;  // 2026-12-07 12:00:00.700

    Night()
    {
        f.ticker.onTick([this] {
            ticks.push_back({mono, f.clock.millisecond});
            const int before = f.player.plays();
            s.timer1Tick();
            if (f.player.plays() > before) fired.push_back(mono);
        });
        f.ticker.onClockSet([this] { s.changed(); });
        show();
        s.load();
        take();
    }

    // Runs every tick due up to `until`, then does `action` there.
    void at(std::int64_t until, const std::function<void()>& action = {})
    {
        while (due && *due <= until) {
            mono = *due;
            due.reset();
            show();
            f.ticker.fire();
            take();
        }
        mono = until;
        show();
        if (action) action();
        take();
    }
    void setClock(std::int64_t byMs)
    {
        offset += byMs;
        show();
        f.ticker.setClock();
    }
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};
    struct Tick {
        std::int64_t at;
        int wallMillisecond;
    };
    std::vector<Tick> ticks;
    std::vector<std::int64_t> fired;
    std::int64_t offset = kStartWall;

private:
    void show()
    {
        const std::int64_t wall = mono + offset;
        const std::int64_t secs = wall / 1000;
        f.clock.time = {civilFromDays(20794 + secs / 86400),
                        {static_cast<int>(secs % 86400 / 3600), static_cast<int>(secs % 3600 / 60),
                         static_cast<int>(secs % 60)}};
        f.clock.millisecond = static_cast<int>(wall % 1000);
    }
    // A tick asked for is due that long after now.
    void take()
    {
        if (f.ticker.schedules.size() > seen_) due = mono + f.ticker.schedules.back();
        seen_ = f.ticker.schedules.size();
    }

    std::int64_t mono = 0;
    std::optional<std::int64_t> due;
    std::size_t seen_ = 0;
};

constexpr std::int64_t kEvent = 2337;  // ms after start-up

struct Change {
    const char* name;
    std::function<void(Night&)> change;
    std::optional<std::int64_t> firesAt;  // when the alarm plays, if it does
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

class TicksAfterAChange : public testing::TestWithParam<Change> {};

TEST_P(TicksAfterAChange, ComeWithinAStepAndOnlyOnSecondsOtherwise)
{
    Night n;
    n.at(kEvent, [&n] { GetParam().change(n); });
    n.at(kEvent + 6000);

    bool stepped = false;
    for (const auto& [t, wallMs] : n.ticks) {
        if (t > kEvent && t <= kEvent + 50) stepped = true;
        // Steps after start-up (the clock's first text) and after the change;
        // one tick a second otherwise.
        if ((t > 50 && t <= kEvent) || t > kEvent + 1050) {
            EXPECT_EQ(wallMs, kTickLeadMs) << "tick at " << t;
        }
    }
    EXPECT_EQ(stepped, std::string_view(GetParam().name) != "Nothing");
    EXPECT_LE(n.ticks.size(), 8u + 5u);  // 8 seconds, a few steps
    const std::vector<std::int64_t> fires =
        GetParam().firesAt ? std::vector<std::int64_t>{*GetParam().firesAt} : std::vector<std::int64_t>{};
    EXPECT_EQ(n.fired, fires);
}

void arm(Night& n, const std::string& alarm)
{
    n.w.setText(n.w.control("Text1"), alarm);
    n.w.setValue(n.w.control("Check1"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, TicksAfterAChange,
    testing::Values(
        Change{"Nothing", [](Night&) {}, {}},
        Change{"AlarmTextEdited", [](Night& n) { n.w.setText(n.w.control("Text1"), "13:00:00"); }, {}},
        Change{"SetAlarmTickedForLater", [](Night& n) { arm(n, "13:00:00"); }, {}},
        Change{"FileChosen",
               [](Night& n) {
                   n.f.dialog.answers.push_back("/home/me/wake.wav");
                   n.s.cmdBrowseClick();
               },
               {}},
        Change{"ZoneOrLocaleChangedOrResumed", [](Night& n) { n.s.changed(); }, {}},
        Change{"ClockSetBack", [](Night& n) { n.setClock(-7200 * 1000 + 95); }, {}},
        // Armed for the second shown: it rings on the next step.
        Change{"ArmedForTheCurrentSecond", [](Night& n) { arm(n, "12:00:03"); }, kEvent + 14},
        // An unreadable alarm: its message, then the ticks go on.
        Change{"UnreadableAlarmArmed", [](Night& n) { arm(n, "soon"); }, {}},
        // Armed for a second ahead: it rings on that second's tick.
        Change{"ArmedForLater", [](Night& n) { arm(n, "12:00:06"); }, 5301},
        Change{"DatedAlarmAcrossAClockSetForward",
               [](Night& n) {
                   arm(n, "2026-12-07 12:30:00");
                   n.setClock(3600 * 1000 + 412);
               },
               kEvent + 2},
        Change{"NextDayAlarmAcrossAClockSetForward",
               [](Night& n) {
                   arm(n, "11:00:00");
                   n.setClock(23 * 3600 * 1000);
               },
               kEvent + 14}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
