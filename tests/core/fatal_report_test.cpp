#include "app/fatal_report.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace bellwick {
namespace {

struct Harness {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w,
               Services{f.regions, f.messages, f.process, f.settings, f.player, f.dialog, f.clock, f.timeText, f.log}};
    FatalReport report{f.messages, f.process, s};

    std::string clock() { return w.control("Label1").text; }
    void tickAt(int second)
    {
        f.clock.set(2026, 12, 7, 8, 0, second);
        s.timer1Tick();
    }
};

TEST(FatalReport, AnEscapedFailureIsShownThenEndsTheProcess)
{
    Harness h;
    try {
        h.report.guard([] { throw std::runtime_error("disk on fire"); });
        FAIL() << "the process went on";
    } catch (const fakes::ProcessEnded& e) {
        EXPECT_EQ(e.status, kFatalStatus);
        EXPECT_NE(e.status, 0);
    }
    ASSERT_EQ(h.f.messages.shown.size(), 1u);
    EXPECT_EQ(h.f.messages.shown[0].title, "Bellwick");
    EXPECT_EQ(h.f.messages.shown[0].style, vbCritical);
    EXPECT_EQ(h.f.messages.shown[0].text, FatalReport::textFor("disk on fire"));
    EXPECT_NE(h.f.messages.shown[0].text.find("disk on fire"), std::string::npos);
}

TEST(FatalReport, NoTickRunsWhileTheBoxIsOpen)
{
    Harness h;
    h.tickAt(1);
    std::string during;
    h.f.messages.whileOpen = [&] {
        h.tickAt(2);
        during = h.clock();
    };
    EXPECT_THROW(h.report.guard([] { throw std::logic_error("bad"); }), fakes::ProcessEnded);
    EXPECT_EQ(during, "08:00:01");
}

TEST(FatalReport, WithoutAFailureNothingIsShownAndTicksGoOn)
{
    Harness h;
    int ran = 0;
    h.report.guard([&] {
        ++ran;
        h.tickAt(1);
    });
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(h.f.messages.shown.empty());
    EXPECT_EQ(h.clock(), "08:00:01");
    {
        const auto outer = h.s.holdTicks();
        {
            const auto inner = h.s.holdTicks();
        }
        h.tickAt(2);  // the outer hold still stands
    }
    EXPECT_EQ(h.clock(), "08:00:01");
    h.tickAt(3);
    EXPECT_EQ(h.clock(), "08:00:03");
}

}  // namespace
}  // namespace bellwick
