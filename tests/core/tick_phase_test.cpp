#include "handlers/snoozard.h"
#include "handlers/tick_phase.h"
#include "fakes/fakes.h"
#include "ports/ticker.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace bellwick {
namespace {

struct Phase {
    const char* name;
    int millisecond, interval;
    int toNext;
    bool onPhase;
};

void PrintTo(const Phase& p, std::ostream* os) { *os << p.name; }

class TickPhase : public testing::TestWithParam<Phase> {};

TEST_P(TickPhase, NextTickAndWhetherOnPhase)
{
    const Phase& p = GetParam();
    EXPECT_EQ(msToNextTick(p.millisecond, p.interval), p.toNext);
    EXPECT_EQ(onTickPhase(p.millisecond, p.interval), p.onPhase);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, TickPhase,
    testing::Values(Phase{"AtTheSecondsTick", 1, 50, 50, true}, Phase{"WithinTheSlack", 5, 50, 46, true},
                    Phase{"PastTheSlack", 6, 50, 45, false},
                    // Early: the reading still shows the old second.
                    Phase{"JustBeforeTheSecond", 999, 50, 2, false}, Phase{"OnTheSecondItself", 0, 50, 1, false},
                    Phase{"LastStepOfTheSecond", 951, 50, 50, true}, Phase{"HalfASecondOff", 500, 50, 1, false},
                    // A step that does not divide the second ends at the next one.
                    Phase{"UnevenStepEndsAtTheSecond", 901, 300, 100, true},
                    Phase{"StepLongerThanASecond", 401, 1500, 600, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Restart {
    const char* name;
    int loadMs;
    std::vector<int> tickMs;
    std::vector<std::string> starts;
};

void PrintTo(const Restart& r, std::ostream* os) { *os << r.name; }

class TickerRestarts : public testing::TestWithParam<Restart> {};

TEST_P(TickerRestarts, OnlyWhenATickLandsOffPhase)
{
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};
    f.clock.millisecond = GetParam().loadMs;
    s.load();
    for (int ms : GetParam().tickMs) {
        f.clock.millisecond = ms;
        s.timer1Tick();
    }
    EXPECT_EQ(f.ticker.starts, GetParam().starts);
}

INSTANTIATE_TEST_SUITE_P(Ticks, TickerRestarts,
                         testing::Values(Restart{"LoadStartsOnPhase", 700, {}, {"1/50"}},
                                         Restart{"TicksOnPhaseKeepIt", 1, {1, 51, 3, 954}, {"50/50"}},
                                         Restart{"ClockSetBy525Ms", 1, {1, 526}, {"50/50", "25/50"}},
                                         Restart{"DriftedEarly", 1, {1, 999, 1}, {"50/50", "2/50"}},
                                         Restart{"LateTickOnceThenBack", 1, {30, 1}, {"50/50", "21/50"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// A platform timer that records each arming; fire() stands for its period ending.
class ArmsTicker : public OffsetTicker {
public:
    std::vector<int> arms;
    void fire() { fired(); }

private:
    void arm(int ms) override { arms.push_back(ms); }
};

struct Firing {
    const char* name;
    int restartAtTick;  // the tick that starts the ticker anew, 0: none
    int ticks;
    std::vector<int> arms;
};

void PrintTo(const Firing& f, std::ostream* os) { *os << f.name; }

class OffsetTicks : public testing::TestWithParam<Firing> {};

TEST_P(OffsetTicks, OffsetOnceThenTheInterval)
{
    ArmsTicker t;
    int ticks = 0;
    t.onTick([&] {
        if (++ticks == GetParam().restartAtTick) t.start(3, 50);
    });
    t.start(7, 50);
    for (int i = 0; i < GetParam().ticks; ++i)
        t.fire();
    EXPECT_EQ(ticks, GetParam().ticks);
    EXPECT_EQ(t.arms, GetParam().arms);
}

INSTANTIATE_TEST_SUITE_P(Ticks, OffsetTicks,
                         testing::Values(Firing{"Periodic", 0, 3, {7, 50}},
                                         // The restart's offset must not be replaced by the interval.
                                         Firing{"RestartedByATick", 2, 4, {7, 50, 3, 50}},
                                         Firing{"RestartedByTheFirstTick", 1, 2, {7, 50, 3, 50}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
