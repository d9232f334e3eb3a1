#include "fakes/fakes.h"
#include "qt/fatal_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace bellwick {
namespace {

TEST(FatalReport, AnEscapedFailureIsShownThenEndsTheProcess)
{
    fakes::FakeMessages messages;
    fakes::FakeProcess process;
    FatalReport report(messages, process);
    try {
        report.guard([] { throw std::runtime_error("disk on fire"); });
        FAIL() << "the process went on";
    } catch (const fakes::ProcessEnded& e) {
        EXPECT_EQ(e.status, kFatalStatus);
        EXPECT_NE(e.status, 0);
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Bellwick");
    EXPECT_EQ(messages.shown[0].style, vbCritical);
    EXPECT_NE(messages.shown[0].text.find("disk on fire"), std::string::npos);
}

TEST(FatalReport, NothingHappensWithoutAFailure)
{
    fakes::FakeMessages messages;
    fakes::FakeProcess process;
    FatalReport report(messages, process);
    int ran = 0;
    report.guard([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace bellwick
