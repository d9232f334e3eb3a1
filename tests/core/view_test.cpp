#include "view/view.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bellwick {
namespace {

std::vector<std::string> names(const std::vector<Control*>& controls)
{
    std::vector<std::string> out;
    for (const Control* c : controls) {
        out.push_back(*c->name);
        if (c->index >= 0) out.back().append("_").append(std::to_string(c->index));
    }
    return out;
}

TEST(View, TwipsRoundToTheNearestPixelHalvesAwayFromZero)
{
    const std::pair<double, int> cases[] = {{0, 0}, {7, 0}, {8, 1}, {22.5, 2}, {-22.5, -2}, {3405, 227}};
    for (auto [twips, pixels] : cases)
        EXPECT_EQ(toPixels(twips), pixels) << twips;
}

TEST(View, LayoutInPixelsWhateverTheScaleMode)
{
    Window w = makeSnoozardLayout();
    w.scaleMode = ScaleMode::Pixels;  // as after MakeTransparent
    EXPECT_EQ(clientRect(w), (PixelRect{0, 0, 458, 377}));
    EXPECT_EQ(pixelRect(w.control("Image3")), (PixelRect{176, 179, 105, 96}));
    EXPECT_EQ(pixelRect(w.control("cmdBrowse")), (PixelRect{153, 341, 151, 16}));
    EXPECT_EQ(lineBand(w.control("Line1", 0)), (PixelRect{226, 309, 2, 33}));
    EXPECT_THROW(pixelRect(w.control("Timer1")), PropertyError);
    EXPECT_THROW(lineBand(w.control("Image1")), PropertyError);
}

TEST(View, LineBandIsLineWidthAcrossTheRun)
{
    struct Case {
        const char* what;
        double x1, y1, x2, y2;
        int width;
        PixelRect band;
    } const cases[] = {
        {"steep, reversed ends", 150, 600, 150, 150, 2, {9, 10, 2, 31}},
        {"flat", 150, 300, 750, 300, 2, {10, 19, 41, 2}},
        {"one pixel", 150, 150, 150, 300, 1, {10, 10, 1, 11}},
        {"odd width", 150, 150, 150, 300, 3, {9, 10, 3, 11}},
    };
    for (const Case& c : cases) {
        Control line;
        line.kind = ControlKind::Line;
        line.x1 = c.x1, line.y1 = c.y1, line.x2 = c.x2, line.y2 = c.y2;
        line.lineWidth = c.width;
        EXPECT_EQ(lineBand(line), c.band) << c.what;
    }
}

TEST(View, StackingAndFocusOrder)
{
    Window w = makeSnoozardLayout();
    const std::vector<std::string> stacked = names(backToFront(w));
    EXPECT_EQ(stacked.front(), "Image1");
    EXPECT_EQ(stacked.back(), "cmdBrowse");
    EXPECT_EQ(names(tabOrder(w)), (std::vector<std::string>{"Text1", "Check1", "txtFile", "cmdBrowse"}));
    EXPECT_EQ(firstFocus(w), &w.control("Text1"));
    w.control("cmdBrowse").tabIndex = 0;  // the clock's index; the clock takes no focus
    EXPECT_EQ(firstFocus(w), &w.control("cmdBrowse"));
    for (Control& c : w.controls)
        c.tabIndex = -1;
    EXPECT_EQ(firstFocus(w), nullptr);
}

TEST(View, PicturesLockedBoxAndTheBadgesHitBox)
{
    const Window w = makeSnoozardLayout();
    EXPECT_TRUE(w.control("txtFile").locked);
    EXPECT_FALSE(w.control("Text1").locked);
    EXPECT_EQ(w.control("Image1").picture, PictureId::Banner);
    EXPECT_EQ(w.control("Image2", 0).picture, PictureId::Bar);
    EXPECT_EQ(w.control("Image2", 1).picture, PictureId::Bar);
    EXPECT_EQ(w.control("Image3").picture, PictureId::Badge);
    const std::pair<int, int> inside[] = {{176, 179}, {280, 274}};
    const std::pair<int, int> outside[] = {{175, 200}, {281, 200}, {200, 178}, {200, 275}};
    for (auto [x, y] : inside)
        EXPECT_TRUE(hitsBadge(w, x, y)) << x << "," << y;
    for (auto [x, y] : outside)
        EXPECT_FALSE(hitsBadge(w, x, y)) << x << "," << y;
}

TEST(View, ButtonBits)
{
    EXPECT_EQ(buttonState(false, false, false), 0);
    EXPECT_EQ(buttonState(true, false, false), 1);
    EXPECT_EQ(buttonState(false, true, false), 2);
    EXPECT_EQ(buttonState(false, false, true), 4);
    EXPECT_EQ(buttonState(true, true, true), 7);
}

TEST(View, CentredAsQtCentres)
{
    const Window w = makeSnoozardLayout();  // 458 x 377
    EXPECT_EQ(centredIn({0, 0, 1024, 768}, w), (PixelPoint{283, 195}));
    EXPECT_EQ(centredIn({0, 0, 1025, 769}, w), (PixelPoint{284, 196}));
    EXPECT_EQ(centredIn({-1280, 30, 1280, 994}, w), (PixelPoint{-868, 338}));
    EXPECT_EQ(centredIn({0, 0, 300, 200}, w), (PixelPoint{-79, -89}));
}

TEST(View, MovesBackFromTheScreenKeepTheModelsOwnTwips)
{
    Window w = makeSnoozardLayout();
    w.placedAt(1507, 3000);
    EXPECT_EQ(screenPosition(w), (PixelPoint{100, 200}));
    movedOnScreen(w, 100, 200);  // where the model put it
    EXPECT_EQ(w.left(), 1507);
    movedOnScreen(w, 101, 200);
    EXPECT_EQ(w.left(), 1515);
    EXPECT_EQ(w.top(), 3000);
}

}  // namespace
}  // namespace bellwick
