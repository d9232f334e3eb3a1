#include "handlers/fatal_report.h"
#include "fakes/fakes.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace bellwick {
namespace {

struct Harness {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};
    FatalReport report{f.messages, f.process, s};

    std::string clock() { return w.control("Label1").text; }
    void tickAt(int second)
    {
        f.clock.set(2026, 12, 7, 8, 0, second);
        s.timer1Tick();
    }
};

TEST(FatalReport, AnEscapedFailureIsShownInTheUsersWordsThenEndsTheProcess)
{
    struct Case {
        std::function<void()> fail;
        FatalReport::Cause cause;
    };
    const Case cases[] = {
        {[] { throw PropertyError("no control Text1"); }, FatalReport::Cause::Internal},
        {[] { throw std::bad_alloc(); }, FatalReport::Cause::OutOfMemory},
        {[] { throw 42; }, FatalReport::Cause::Internal},
    };
    for (const Case& c : cases) {
        Harness h;
        try {
            h.report.guard(c.fail);
            FAIL() << "the process went on";
        } catch (const fakes::ProcessEnded& e) {
            EXPECT_EQ(e.status, kFatalStatus);
            EXPECT_NE(e.status, 0);
        }
        ASSERT_EQ(h.f.messages.shown.size(), 1u);
        EXPECT_EQ(h.f.messages.shown[0].title, "Bellwick");
        EXPECT_EQ(h.f.messages.shown[0].style, vbCritical);
        EXPECT_EQ(h.f.messages.shown[0].text, FatalReport::textFor(c.cause));
        EXPECT_EQ(h.f.messages.shown[0].text.find("Text1"), std::string::npos);
    }
    EXPECT_NE(FatalReport::textFor(FatalReport::Cause::Internal),
              FatalReport::textFor(FatalReport::Cause::OutOfMemory));
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
