#include "qt/qt_regions.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

struct Probe {
    QPoint at;
    bool inside;
};

void expectPixels(const QRegion& r, const std::vector<Probe>& probes)
{
    for (const Probe& p : probes)
        EXPECT_EQ(r.contains(p.at), p.inside) << p.at.x() << "," << p.at.y();
}

TEST(QtRegions, RectanglesExcludeTheirRightAndBottomEdges)
{
    QtRegions rg;
    const QRegion r = rg.region(rg.CreateRectRgn(10, 20, 30, 40));
    expectPixels(r, {{{10, 20}, true}, {{29, 39}, true}, {{30, 39}, false}, {{29, 40}, false}, {{9, 20}, false}});
    EXPECT_TRUE(rg.region(rg.CreateRectRgn(0, 0, 0, 0)).isEmpty());
    EXPECT_TRUE(rg.region(rg.CreateRectRgn(1, 1, -1, 7)).isEmpty());
}

TEST(QtRegions, EllipsesAndRoundedCorners)
{
    QtRegions rg;
    expectPixels(rg.region(rg.CreateEllipticRgn(0, 0, 100, 50)),
                 {{{50, 25}, true}, {{1, 25}, true}, {{2, 2}, false}, {{97, 47}, false}, {{50, 1}, true}});
    expectPixels(
        rg.region(rg.CreateRoundRectRgn(0, 0, 101, 101, 40, 40)),
        {{{50, 50}, true}, {{0, 50}, true}, {{1, 1}, false}, {{99, 99}, false}, {{20, 0}, true}, {{10, 10}, true}});
}

TEST(QtRegions, PolygonsFillOddEven)
{
    QtRegions rg;
    const Point band[] = {{226, 309}, {226, 341}, {228, 341}, {228, 309}};
    expectPixels(rg.region(rg.CreatePolygonRgn(band, 4, FillMode::Alternate)),
                 {{{226, 320}, true}, {{227, 320}, true}, {{228, 320}, false}, {{225, 320}, false}});
    // A self-overlapping star leaves its centre out under odd-even filling.
    const Point star[] = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
    EXPECT_FALSE(rg.region(rg.CreatePolygonRgn(star, 5, FillMode::Alternate)).contains(QPoint(50, 45)));
    EXPECT_TRUE(rg.region(rg.CreatePolygonRgn(star, 5, FillMode::Alternate)).contains(QPoint(50, 10)));
}

TEST(QtRegions, ExclusiveOrCancelsOverlapsAndCutsHoles)
{
    QtRegions rg;
    const Region whole = rg.CreateRectRgn(0, 0, 0, 0);
    rg.CombineRgn(whole, whole, rg.CreateRectRgn(0, 0, 20, 20), CombineMode::Xor);
    rg.CombineRgn(whole, whole, rg.CreateRectRgn(10, 10, 30, 30), CombineMode::Xor);  // overlaps
    rg.CombineRgn(whole, whole, rg.CreateRectRgn(50, 50, 90, 90), CombineMode::Xor);
    rg.CombineRgn(whole, whole, rg.CreateRectRgn(60, 60, 70, 70), CombineMode::Xor);  // inside the last
    expectPixels(
        rg.region(whole),
        {{{5, 5}, true}, {{15, 15}, false}, {{25, 25}, true}, {{55, 55}, true}, {{65, 65}, false}, {{80, 80}, true}});
    EXPECT_EQ(rg.CombineRgn(whole, whole, whole, CombineMode::Xor), NULLREGION);
}

TEST(QtRegions, SetWindowRgnHandsTheRegionOver)
{
    QRegion applied;
    WindowHandle to = 0;
    bool redrawn = false;
    QtRegions rg([&](WindowHandle w, const QRegion& r, bool redraw) {
        to = w;
        applied = r;
        redrawn = redraw;
    });
    const Region r = rg.CreateRectRgn(1, 2, 3, 4);
    EXPECT_EQ(rg.SetWindowRgn(42, r, -1), 1);
    EXPECT_EQ(to, 42u);
    EXPECT_TRUE(redrawn);
    EXPECT_EQ(applied, QRegion(1, 2, 2, 2));
    EXPECT_EQ(rg.SetWindowRgn(42, 999, -1), 0);
}

}  // namespace
}  // namespace bellwick
