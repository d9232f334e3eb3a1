#include "shaping/transparent.h"
#include "win32/win32_regions.h"
#include "win32/win_api.h"
#include "window/layout.h"

#include "fakes/fakes.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <string>
#include <utility>
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

class LayoutRegion : public testing::TestWithParam<unsigned> {};

// At every DPI each layout pixel probed becomes the block of pixels it is
// scaled to, all inside or all outside.
TEST_P(LayoutRegion, WindowGetsItsOutlinesAtItsDpiAndKeepsNoRegion)
{
    MessageWindow window;
    ASSERT_NE(window.hwnd, nullptr);
    Window model = makeSnoozardLayout();
    model.handle = reinterpret_cast<WindowHandle>(window.hwnd);
    const Dpi dpi(GetParam());
    Win32Regions regions;
    regions.setDpi(dpi);
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
    const auto pixelsIn = [&](const Probe& p) {
        const PixelRect block = dpi.scale(PixelRect{p.x, p.y, 1, 1});
        int in = 0;
        for (int x = block.left; x < block.left + block.width; ++x)
            for (int y = block.top; y < block.top + block.height; ++y)
                in += ::PtInRegion(shape, x, y) ? 1 : 0;
        return std::pair{in, block.width * block.height};
    };
    for (const Probe& p : inside) {
        const auto [in, all] = pixelsIn(p);
        EXPECT_EQ(in, all) << p.x << "," << p.y;
    }
    for (const Probe& p : outside)
        EXPECT_EQ(pixelsIn(p).first, 0) << p.x << "," << p.y;
    ::DeleteObject(shape);
}

INSTANTIATE_TEST_SUITE_P(Win32Regions, LayoutRegion, testing::Values(96u, 120u, 144u, 192u),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

}  // namespace
}  // namespace bellwick
