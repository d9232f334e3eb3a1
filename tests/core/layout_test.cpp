#include "window/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace bellwick {
namespace {

TEST(Layout, EveryControlSitsOnWholePixelsInsideTheWindowExceptThePlayer)
{
    Window w = makeSnoozardLayout();
    w.scaleMode = ScaleMode::Pixels;
    ASSERT_EQ(w.controls.size(), 13u);
    const double cw = w.clientWidth / kTwipsPerPixel, ch = w.clientHeight / kTwipsPerPixel;
    EXPECT_EQ(cw, 458);
    EXPECT_EQ(ch, 377);
    for (const Control& c : w.controls) {
        if (!c.width) continue;
        const double l = w.property(c, "Left"), t = w.property(c, "Top");
        const double r = l + w.property(c, "Width"), b = t + w.property(c, "Height");
        for (double v : {l, t, r, b})
            EXPECT_EQ(v, std::floor(v)) << *c.name;
        const bool inside = l >= 0 && t >= 0 && r <= cw && b <= ch;
        EXPECT_EQ(inside, !c.is("Media")) << *c.name;
    }
}

TEST(Layout, TabOrderRunsFromTheClockToBrowse)
{
    Window w = makeSnoozardLayout();
    std::vector<const Control*> tabbed;
    for (const Control& c : w.controls)
        if (c.tabIndex >= 0) tabbed.push_back(&c);
    std::sort(tabbed.begin(), tabbed.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<std::string> names;
    for (const Control* c : tabbed)
        names.push_back(*c->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Label1", "Text1", "Check1", "Media", "txtFile", "cmdBrowse"}));
}

TEST(Layout, ControlsWithoutSizeHaveNoWidth)
{
    Window w = makeSnoozardLayout();
    for (const char* name : {"Timer1", "cdb"})
        EXPECT_THROW(w.property(w.control(name), "Width"), PropertyError);
    EXPECT_THROW(w.property(w.control("Line1", 0), "Width"), PropertyError);
    EXPECT_EQ(w.control("Timer1").intervalMs, 50);
}

TEST(Layout, StackingPutsTheBannerBehindEverything)
{
    Window w = makeSnoozardLayout();
    const Control& banner = w.control("Image1");
    for (const Control& c : w.controls) {
        if (&c != &banner) {
            EXPECT_LT(c.stacking, banner.stacking) << *c.name;
        }
    }
}

TEST(Window, CheckBoxValueChangesRunTheClickHookOnlyOnChange)
{
    Window w = makeSnoozardLayout();
    std::vector<int> seen;
    w.onClick = [&](Control& c) { seen.push_back(c.value); };
    Control& box = w.control("Check1");
    for (int v : {1, 1, 0, 2, 0})
        w.setValue(box, v);
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 2, 0}));
    w.setValue(w.control("Text1"), 1);  // not a check box
    EXPECT_EQ(seen.size(), 4u);
}

TEST(Window, PositionIsKeptInSinglePrecision)
{
    Window w;
    w.setLeft(0.1);
    EXPECT_EQ(w.left(), static_cast<double>(0.1f));
    EXPECT_NE(w.left(), 0.1);
}

}  // namespace
}  // namespace bellwick
