#include "fakes/fakes.h"
#include "handlers/input_router.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace bellwick {
namespace {

struct Routed {
    fakes::FakeServices f;
    Window w = makeSnoozardLayout();
    Snoozard s{w, f.services()};
    InputRouter router{w, s};
    bool ended = false;

    Routed() { w.placedAt(1500, 3000); }
    void run(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const fakes::ProcessEnded& e) {
            EXPECT_EQ(e.status, 0);
            ended = true;
        }
    }
};

constexpr auto P = PointerAction::Press, M = PointerAction::Move, R = PointerAction::Release;

struct RouteCase {
    const char* what;
    unsigned dpi;
    std::vector<PointerEvent> events;
    std::optional<std::pair<int, int>> grab;  // the banner's grab point, when pressed
    double dLeft, dTop;                       // twips the window moved
    bool ended;                               // the badge's click ended the program
    bool holdingAfter;
};

// Layout points: the banner at 13,18 432x144, the clock in front of it at
// 141,48 169x17, the badge at 176,179 105x96.
const RouteCase kRoutes[] = {
    {"a press on the banner takes the grab point in its own pixels",
     96,
     {{P, 1, 1, 0, 50, 100}},
     {{37, 82}},
     0,
     0,
     false,
     true},
    {"a drag by the banner moves the window by the offset",
     96,
     {{P, 1, 1, 0, 50, 100}, {M, 0, 1, 0, 80, 115}, {R, 1, 0, 0, 80, 115}},
     {{37, 82}},
     450,
     225,
     false,
     false},
    {"the pressed banner keeps the pointer outside the window",
     96,
     {{P, 1, 1, 0, 50, 100}, {M, 0, 1, 0, -10, 90}},
     {{37, 82}},
     -900,
     -150,
     false,
     true},
    {"a move without the left button does not drag",
     96,
     {{P, 2, 2, 0, 50, 100}, {M, 0, 2, 0, 80, 115}},
     {{37, 82}},
     0,
     0,
     false,
     true},
    {"a press on the clock starts no drag",
     96,
     {{P, 1, 1, 0, 150, 55}, {M, 0, 1, 0, 180, 70}},
     std::nullopt,
     0,
     0,
     false,
     true},
    {"a left release over the badge clicks it",
     96,
     {{P, 1, 1, 0, 220, 220}, {R, 1, 0, 0, 221, 222}},
     std::nullopt,
     0,
     0,
     true,
     false},
    {"released off the badge, no click",
     96,
     {{P, 1, 1, 0, 220, 220}, {R, 1, 0, 0, 300, 220}},
     std::nullopt,
     0,
     0,
     false,
     false},
    {"a right click on the badge is no click",
     96,
     {{P, 2, 2, 0, 220, 220}, {R, 2, 0, 0, 220, 220}},
     std::nullopt,
     0,
     0,
     false,
     false},
    {"a press from the banner released over the badge is no click",
     96,
     {{P, 1, 1, 0, 50, 100}, {R, 1, 0, 0, 220, 220}},
     {{37, 82}},
     0,
     0,
     false,
     false},
    {"the badge stays held while another button is down",
     96,
     {{P, 1, 1, 0, 220, 220}, {P, 2, 3, 0, 220, 220}, {R, 2, 1, 0, 220, 220}},
     std::nullopt,
     0,
     0,
     false,
     true},
    {"at 144 dpi the hit test and the grab point scale",
     144,
     {{P, 1, 1, 0, 75, 150}, {M, 0, 1, 0, 105, 165}},
     {{55, 123}},
     450,
     225,
     false,
     true},
    {"nothing under the pointer holds nothing",
     96,
     {{P, 1, 1, 0, 5, 5}, {M, 0, 1, 0, 6, 7}},
     std::nullopt,
     0,
     0,
     false,
     false},
};

class Routes : public testing::TestWithParam<RouteCase> {};

TEST_P(Routes, ReachTheirHandler)
{
    const RouteCase& c = GetParam();
    Routed r;
    r.router.setDpi(Dpi(c.dpi));
    r.s.pstX = r.s.psty = -1;
    for (const PointerEvent& e : c.events)
        r.run([&] { r.router.pointer(e); });
    if (c.grab)
        EXPECT_EQ(std::make_pair(r.s.pstX, r.s.psty), *c.grab);
    else
        EXPECT_EQ(std::make_pair(r.s.pstX, r.s.psty), std::make_pair(-1, -1));
    EXPECT_DOUBLE_EQ(r.w.left(), 1500 + c.dLeft);
    EXPECT_DOUBLE_EQ(r.w.top(), 3000 + c.dTop);
    EXPECT_EQ(r.ended, c.ended);
    EXPECT_EQ(r.router.holding(), c.holdingAfter);
}

INSTANTIATE_TEST_SUITE_P(Table, Routes, testing::ValuesIn(kRoutes), [](const testing::TestParamInfo<RouteCase>& info) {
    return "case" + std::to_string(info.index);
});

TEST(Routes, ALostCaptureLetsThePointerGo)
{
    Routed r;
    r.router.pointer({P, 1, 1, 0, 220, 220});
    r.router.pointerLost();
    EXPECT_FALSE(r.router.holding());
    r.run([&] { r.router.pointer({R, 1, 0, 0, 220, 220}); });
    EXPECT_FALSE(r.ended);
}

// What a platform hands to the compositor, where one places the windows.
TEST(Routes, OnlyALeftPressOnTheBannerDragsTheWindow)
{
    const struct {
        const char* what;
        std::vector<PointerEvent> events;
        bool dragging;
    } cases[] = {
        {"left on the banner", {{P, 1, 1, 0, 50, 100}}, true},
        {"right on the banner", {{P, 2, 2, 0, 50, 100}}, false},
        {"left on the badge", {{P, 1, 1, 0, 220, 220}}, false},
        {"left on the clock", {{P, 1, 1, 0, 200, 55}}, false},
        {"left added to a right press", {{P, 2, 2, 0, 50, 100}, {P, 1, 3, 0, 50, 100}}, false},
        {"released", {{P, 1, 1, 0, 50, 100}, {R, 1, 0, 0, 50, 100}}, false},
    };
    for (const auto& c : cases) {
        Routed r;
        for (const PointerEvent& e : c.events)
            r.run([&] { r.router.pointer(e); });
        EXPECT_EQ(r.router.dragging(), c.dragging) << c.what;
    }
}

struct ClickCase {
    const char* control;
    int button;
    bool selectsAll;
};

TEST(Routes, ALeftReleaseInTheFileBoxSelectsItAll)
{
    for (const ClickCase& c : {ClickCase{"txtFile", 1, true}, {"txtFile", 2, false}, {"Text1", 1, false}}) {
        Routed r;
        r.w.setText(r.w.control("txtFile"), "/a/b.wav");
        r.router.released(r.w.control(c.control), c.button);
        EXPECT_EQ(r.w.control("txtFile").selLength, c.selectsAll ? 8 : 0) << c.control << " " << c.button;
    }
}

TEST(Routes, TheBadgesPressAndTheSystemsCloseEndTheProgram)
{
    for (const std::function<void(Routed&)>& act :
         std::vector<std::function<void(Routed&)>>{[](Routed& r) { r.router.activated(r.w.control("Image3")); },
                                                   [](Routed& r) { r.router.closedBySystem(); }}) {
        Routed r;
        r.run([&] { act(r); });
        EXPECT_TRUE(r.ended);
    }
    Routed r;
    r.run([&] { r.router.activated(r.w.control("Image1")); });
    EXPECT_FALSE(r.ended);
}

}  // namespace
}  // namespace bellwick
