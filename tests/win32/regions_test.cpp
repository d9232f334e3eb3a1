#include "shaping/transparent.h"
#include "win32/win32_regions.h"
#include "win32/win_api.h"
#include "window/layout.h"

#include "fakes/fakes.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

namespace bellwick {
namespace {

struct Probe {
    int x, y;
};

struct RegionCase {
    const char* name;
    std::function<Region(Win32Regions&)> build;
    std::vector<Probe> inside, outside;
};

// Each row guards one mapping onto GDI: the combine mode, the fill mode and
// point order of polygons, the argument order of the shape calls.
const RegionCase kCases[] = {
    {"XorCutsTheOverlap",
     [](Win32Regions& r) {
         const Region a = r.CreateRectRgn(0, 0, 10, 10);
         r.CombineRgn(a, a, r.CreateRectRgn(5, 0, 15, 10), CombineMode::Xor);
         return a;
     },
     {{2, 5}, {12, 5}},
     {{7, 5}, {16, 5}}},
    {"InnerRectangleCutsAHole",
     [](Win32Regions& r) {
         const Region a = r.CreateRectRgn(0, 0, 10, 8);
         r.CombineRgn(a, a, r.CreateRectRgn(1, 1, 9, 7), CombineMode::Xor);
         return a;
     },
     {{0, 0}, {9, 7}},
     {{1, 1}, {5, 4}, {10, 8}}},
    {"SteepLineBandIsTwoPixelsWide",
     [](Win32Regions& r) {
         const Point band[] = {{226, 309}, {226, 341}, {228, 341}, {228, 309}};
         return r.CreatePolygonRgn(band, 4, FillMode::Alternate);
     },
     {{226, 309}, {227, 340}},
     {{225, 320}, {228, 320}, {227, 341}}},
    {"EllipseTakesItsBoundingBox",
     [](Win32Regions& r) { return r.CreateEllipticRgn(10, 20, 42, 60); },
     {{26, 40}, {11, 40}, {26, 21}},
     {{10, 20}, {41, 59}, {43, 40}}},
    {"RoundRectangleCutsItsCorners",
     [](Win32Regions& r) { return r.CreateRoundRectRgn(0, 0, 31, 27, 8, 8); },
     {{15, 13}, {0, 13}, {15, 0}},
     {{0, 0}, {30, 26}}},
};

void PrintTo(const RegionCase& c, std::ostream* os) { *os << c.name; }

class GdiRegion : public testing::TestWithParam<RegionCase> {};

TEST_P(GdiRegion, HoldsWhatItShould)
{
    Win32Regions regions;
    const HRGN r = reinterpret_cast<HRGN>(GetParam().build(regions));
    ASSERT_NE(r, nullptr);
    for (const Probe& p : GetParam().inside)
        EXPECT_TRUE(::PtInRegion(r, p.x, p.y)) << p.x << "," << p.y;
    for (const Probe& p : GetParam().outside)
        EXPECT_FALSE(::PtInRegion(r, p.x, p.y)) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(Win32Regions, GdiRegion, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A window that needs no display: message-only windows take regions too.
struct MessageWindow {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 458, 377, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ~MessageWindow() { ::DestroyWindow(hwnd); }
};

TEST(Win32Regions, LayoutWindowGetsItsOutlinesAndKeepsNoRegion)
{
    MessageWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    Window model = makeSnoozardLayout();
    model.handle = reinterpret_cast<WindowHandle>(window.hwnd);
    Win32Regions regions;
    fakes::FakeMessages messages;
    fakes::FakeProcess process;
    MakeTransparent(model, regions, messages, process);

    // Handed over; every intermediate region deleted.
    EXPECT_EQ(regions.held(), 0u);
    HRGN shape = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(window.hwnd, shape), COMPLEXREGION);
    const Probe inside[] = {{13, 18},   {444, 161}, {107, 162}, {345, 306}, {200, 200},
                            {138, 286}, {226, 309}, {227, 340}, {153, 341}, {303, 356}};
    const Probe outside[] = {{5, 5}, {60, 200}, {400, 330}, {225, 320}, {228, 320}, {304, 356}, {153, 357}};
    for (const Probe& p : inside)
        EXPECT_TRUE(::PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
    for (const Probe& p : outside)
        EXPECT_FALSE(::PtInRegion(shape, p.x, p.y)) << p.x << "," << p.y;
    ::DeleteObject(shape);
}

}  // namespace
}  // namespace bellwick
