#include "fakes/fakes.h"
#include "shaping/rounding.h"
#include "shaping/transparent.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace bellwick {
namespace {

using fakes::FakeMessages;
using fakes::FakeProcess;
using fakes::ProcessEnded;
using fakes::RecordingRegions;

constexpr WindowHandle kHandle = 77;

std::vector<std::string> shape(Window& w)
{
    RecordingRegions regions;
    FakeMessages messages;
    FakeProcess process;
    w.handle = kHandle;
    MakeTransparent(w, regions, messages, process);
    EXPECT_TRUE(messages.shown.empty());
    return regions.calls;
}

// Geometry given in pixels, kept in twips like the layout does.
Control boxed(ControlKind kind, const char* name, double l, double t, double w, double h)
{
    Control c;
    c.kind = kind;
    c.name = name;
    c.left = l * kTwipsPerPixel;
    c.top = t * kTwipsPerPixel;
    c.width = w * kTwipsPerPixel;
    c.height = h * kTwipsPerPixel;
    return c;
}

Control line(double x1, double y1, double x2, double y2)
{
    Control c;
    c.kind = ControlKind::Line;
    c.name = "Line9";
    c.x1 = x1 * kTwipsPerPixel;
    c.y1 = y1 * kTwipsPerPixel;
    c.x2 = x2 * kTwipsPerPixel;
    c.y2 = y2 * kTwipsPerPixel;
    return c;
}

Control shapeControl(int kind, double l, double t, double w, double h, int backStyle = 1)
{
    Control c = boxed(ControlKind::Shape, "Shape1", l, t, w, h);
    c.shape = kind;
    c.backStyle = backStyle;
    return c;
}

Window windowOf(std::vector<Control> controls)
{
    Window w;
    w.controls = std::move(controls);
    return w;
}

TEST(MakeTransparent, LayoutWindowGivesTheOutlinesOfItsPictures)
{
    Window w = makeSnoozardLayout();
    const std::vector<std::string> expected{
        "CreateRectRgn(0, 0, 0, 0) -> 1",
        "CreateRectRgn(153, 341, 304, 357) -> 2",  // cmdBrowse
        "CombineRgn(1, 1, 2, 3)",
        "CreateRectRgn(138, 286, 314, 307) -> 3",  // txtFile
        "CombineRgn(1, 1, 3, 3)",
        "CreateRectRgn(176, 179, 281, 275) -> 4",  // Image3
        "CombineRgn(1, 1, 4, 3)",
        "CreateRectRgn(316, 163, 346, 307) -> 5",  // Image2(1)
        "CombineRgn(1, 1, 5, 3)",
        "CreateRectRgn(107, 162, 137, 306) -> 6",  // Image2(0)
        "CombineRgn(1, 1, 6, 3)",
        "CreatePolygonRgn(226, 309, 226, 341, 228, 341, 228, 309, 4, 1) -> 7",  // Line1, steep
        "CombineRgn(1, 1, 7, 3)",
        "CreateRectRgn(542, 368, 751, 513) -> 8",  // Media, outside the client area
        "CombineRgn(1, 1, 8, 3)",
        "CreateRectRgn(13, 18, 445, 162) -> 9",  // Image1
        "CombineRgn(1, 1, 9, 3)",
        "SetWindowRgn(77, 1, -1)",
    };
    EXPECT_EQ(shape(w), expected);
}

TEST(MakeTransparent, LeavesTheWindowInPixels)
{
    Window w = makeSnoozardLayout();
    shape(w);
    EXPECT_EQ(w.scaleMode, ScaleMode::Pixels);
    const Control& image1 = w.control("Image1");
    EXPECT_EQ((std::vector<double>{w.property(image1, "Left"), w.property(image1, "Top"), w.property(image1, "Width"),
                                   w.property(image1, "Height")}),
              (std::vector<double>{13, 18, 432, 144}));
    const Control& line1 = w.control("Line1", 0);
    EXPECT_EQ((std::vector<double>{w.property(line1, "X1"), w.property(line1, "Y1"), w.property(line1, "X2"),
                                   w.property(line1, "Y2")}),
              (std::vector<double>{227, 309, 227, 341}));
}

struct Case {
    const char* what;
    std::vector<Control> controls;
    // Calls between the empty start region (handle 1) and SetWindowRgn.
    std::vector<std::string> calls;
};

Control withoutName(Control c)
{
    c.name.reset();
    return c;
}
Control hidden(Control c)
{
    c.visible = false;
    return c;
}
Control without(Control c, std::optional<double> Control::*field)
{
    (c.*field).reset();
    return c;
}
Control noBackStyle(Control c)
{
    c.backStyle.reset();
    return c;
}

class MakeTransparentCases : public testing::TestWithParam<Case> {};

TEST_P(MakeTransparentCases, CallsTheRegionFunctionsAsExpected)
{
    Window w = windowOf(GetParam().controls);
    std::vector<std::string> expected{"CreateRectRgn(0, 0, 0, 0) -> 1"};
    expected.insert(expected.end(), GetParam().calls.begin(), GetParam().calls.end());
    expected.push_back("SetWindowRgn(77, 1, -1)");
    EXPECT_EQ(shape(w), expected);
}

const Case kCases[] = {
    {"horizontal line is not steep",
     {line(10, 20, 50, 20)},
     {"CreatePolygonRgn(10, 19, 50, 19, 50, 21, 10, 21, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"line at 45 degrees gets the band across y",
     {line(10, 10, 20, 20)},
     {"CreatePolygonRgn(10, 9, 20, 19, 20, 21, 10, 11, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"steep line gets the band across x",
     {line(10, 10, 12, 30)},
     {"CreatePolygonRgn(9, 10, 11, 30, 13, 30, 11, 10, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"zero-length line is steep and flat",
     {line(5, 5, 5, 5)},
     {"CreatePolygonRgn(4, 5, 4, 5, 6, 5, 6, 5, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"line coordinates round half to even after the offset",
     {line(21.5, 30.5, 40.5, 31.5)},
     {"CreatePolygonRgn(22, 30, 40, 30, 40, 32, 22, 32, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"a missing end coordinate fails only its corners; the test counts as passed",
     {without(line(10, 20, 30, 21), &Control::y2)},
     {"CreatePolygonRgn(9, 20, 29, 0, 31, 0, 11, 20, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"corners persist from the line before",
     {line(10, 20, 30, 21), without(without(line(50, 60, 70, 61), &Control::x2), &Control::y2)},
     {"CreatePolygonRgn(10, 19, 30, 20, 30, 22, 10, 21, 4, 1) -> 2", "CombineRgn(1, 1, 2, 3)",
      "CreatePolygonRgn(49, 60, 30, 20, 30, 22, 51, 60, 4, 1) -> 3", "CombineRgn(1, 1, 3, 3)"}},
    {"square taller than wide",
     {shapeControl(1, 10, 20, 30, 35)},
     {"CreateRectRgn(10, 22, 40, 52) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"square wider than tall",
     {shapeControl(1, 0, 0, 40, 20)},
     {"CreateRectRgn(10, 0, 30, 20) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"rectangle shape", {shapeControl(0, 1, 2, 3, 4)}, {"CreateRectRgn(1, 2, 4, 6) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"oval gains half a pixel before rounding",
     {shapeControl(2, 10, 20, 31, 40)},
     {"CreateEllipticRgn(10, 20, 42, 60) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"circle taller than wide",
     {shapeControl(3, 0, 0, 20, 30)},
     {"CreateEllipticRgn(0, 5, 20, 26) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"circle wider than tall",
     {shapeControl(3, 0, 0, 31, 20)},
     {"CreateEllipticRgn(6, 0, 26, 20) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"rounded rectangle wider than tall: 6.5 rounds to 6",
     {shapeControl(4, 0, 0, 30, 26)},
     {"CreateRoundRectRgn(0, 0, 31, 27, 6, 6) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"rounded rectangle 30 by 30: 7.5 rounds to 8",
     {shapeControl(4, 0, 0, 30, 30)},
     {"CreateRoundRectRgn(0, 0, 31, 31, 8, 8) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"rounded square wider than tall",
     {shapeControl(5, 0, 0, 40, 20)},
     {"CreateRoundRectRgn(10, 0, 31, 21, 5, 5) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"rounded square taller than wide",
     {shapeControl(5, 0, 0, 20, 40)},
     {"CreateRoundRectRgn(0, 10, 21, 31, 5, 5) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"hollow rectangle leaves a ring",
     {shapeControl(0, 0, 0, 10, 8, 0)},
     {"CreateRectRgn(0, 0, 10, 8) -> 2", "CombineRgn(1, 1, 2, 3)", "CreateRectRgn(1, 1, 9, 7) -> 3",
      "CombineRgn(1, 1, 3, 3)"}},
    {"hollow oval loses half a pixel inside",
     {shapeControl(2, 10, 20, 31, 40, 0)},
     {"CreateEllipticRgn(10, 20, 42, 60) -> 2", "CombineRgn(1, 1, 2, 3)", "CreateEllipticRgn(11, 21, 40, 60) -> 3",
      "CombineRgn(1, 1, 3, 3)"}},
    {"hollow rounded square",
     {shapeControl(5, 0, 0, 40, 20, 0)},
     {"CreateRoundRectRgn(10, 0, 31, 21, 5, 5) -> 2", "CombineRgn(1, 1, 2, 3)",
      "CreateRoundRectRgn(11, 1, 30, 20, 5, 5) -> 3", "CombineRgn(1, 1, 3, 3)"}},
    {"hollow shape of width 0 adds only its outline",
     {shapeControl(0, 0, 0, 0, 8, 0)},
     {"CreateRectRgn(0, 0, 0, 8) -> 2", "CombineRgn(1, 1, 2, 3)", "CreateRectRgn(1, 1, -1, 7) -> 3"}},
    {"unreadable BackStyle counts as hollow",
     {noBackStyle(shapeControl(0, 0, 0, 10, 8))},
     {"CreateRectRgn(0, 0, 10, 8) -> 2", "CombineRgn(1, 1, 2, 3)", "CreateRectRgn(1, 1, 9, 7) -> 3",
      "CombineRgn(1, 1, 3, 3)"}},
    {"ordinary control",
     {boxed(ControlKind::Image, "Image9", 22.5, 23.5, 10, 10)},
     {"CreateRectRgn(22, 24, 32, 34) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"control of width 0 adds nothing",
     {boxed(ControlKind::Image, "Image9", 1, 2, 0, 10)},
     {"CreateRectRgn(1, 2, 1, 12) -> 2"}},
    {"control without a size adds nothing",
     {without(without(without(without(boxed(ControlKind::Timer, "Timer9", 0, 0, 0, 0), &Control::left), &Control::top),
                      &Control::width),
              &Control::height)},
     {}},
    {"unreadable name: passed over", {withoutName(boxed(ControlKind::Image, "Image9", 1, 2, 3, 4))}, {}},
    {"names are compared case-sensitively",
     {boxed(ControlKind::CheckBox, "check1", 1, 2, 3, 4), boxed(ControlKind::CheckBox, "Check1", 1, 2, 3, 4),
      boxed(ControlKind::Label, "Label1", 1, 2, 3, 4), boxed(ControlKind::TextBox, "Text1", 1, 2, 3, 4)},
     {"CreateRectRgn(1, 2, 4, 6) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"hidden control counts like a visible one",
     {hidden(boxed(ControlKind::Image, "Image9", 1, 2, 3, 4))},
     {"CreateRectRgn(1, 2, 4, 6) -> 2", "CombineRgn(1, 1, 2, 3)"}},
    {"failed outline combines the outline before again",
     {boxed(ControlKind::Image, "Image8", 1, 2, 3, 4),
      without(boxed(ControlKind::Image, "Image9", 9, 9, 9, 9), &Control::left)},
     {"CreateRectRgn(1, 2, 4, 6) -> 2", "CombineRgn(1, 1, 2, 3)", "CombineRgn(1, 1, 2, 3)"}},
    {"a coordinate beyond 32 bits fails its outline",
     {boxed(ControlKind::Image, "Image9", 3e9, 0, 1, 1)},
     {"CombineRgn(1, 1, 0, 3)"}},
};

INSTANTIATE_TEST_SUITE_P(Table, MakeTransparentCases, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST(MakeTransparent, BorderedWindowIsRefusedBeforeAnyRegion)
{
    Window w = makeSnoozardLayout();
    w.borderStyle = 2;
    RecordingRegions regions;
    FakeMessages messages;
    FakeProcess process;
    EXPECT_THROW(MakeTransparent(w, regions, messages, process), ProcessEnded);
    EXPECT_EQ(messages.shown, (std::vector<fakes::Message>{{"Change the borderstyle to 0!", "ACK!", 16}}));
    EXPECT_TRUE(regions.calls.empty());
}

TEST(RoundToInt32, HalfwayGoesToEven)
{
    const std::pair<double, std::int32_t> cases[] = {
        {22.5, 22},
        {23.5, 24},
        {41.5, 42},
        {60.5, 60},
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {2.4999, 2},
        {2.5001, 3},
        {-0.5, 0},
        {2147483647.0, 2147483647},
        {-2147483648.0, -2147483647 - 1},
    };
    for (auto [in, out] : cases)
        EXPECT_EQ(roundToInt32(in), out) << in;
}

TEST(RoundToInt32, RefusesWhatDoesNotFit)
{
    for (double v : {2147483647.5 + 1, -2147483649.0, std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), 1e300})
        EXPECT_THROW(roundToInt32(v), std::overflow_error) << v;
}

}  // namespace
}  // namespace bellwick
