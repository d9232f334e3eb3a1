#include "view/dpi.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

struct ScaleCase {
    unsigned dpi;
    PixelRect layout, scaled;
};

// The window's own box, one that starts on a half pixel and two that touch.
const ScaleCase kScales[] = {
    {96, {13, 18, 432, 144}, {13, 18, 432, 144}},    {144, {0, 0, 458, 377}, {0, 0, 687, 566}},
    {144, {13, 18, 432, 144}, {20, 27, 648, 216}},   {144, {107, 162, 30, 144}, {161, 243, 45, 216}},
    {144, {137, 162, 30, 144}, {206, 243, 45, 216}}, {192, {0, 0, 458, 377}, {0, 0, 916, 754}},
    {120, {227, 309, 1, 32}, {284, 386, 1, 40}},     {0, {1, 2, 3, 4}, {1, 2, 3, 4}},  // a DPI of none is the layout's
};

TEST(Dpi, ScalesEdgesSoThatBoxesThatTouchKeepTouching)
{
    for (const ScaleCase& c : kScales)
        EXPECT_EQ(Dpi(c.dpi).scale(c.layout), c.scaled) << c.dpi << " dpi, left " << c.layout.left;
}

// A pointer is on a scaled box exactly when its layout point is on the
// layout box: every scaled pixel maps back to the layout pixel it came from.
TEST(Dpi, UnscaleIsTheInverseOfScaleAtEveryPixel)
{
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u, 288u}) {
        const Dpi d(dpi);
        for (int x = -4; x < 1200; ++x) {
            const int v = d.unscale(x);
            ASSERT_LE(d.scale(v), x) << dpi << " dpi at " << x;
            ASSERT_GT(d.scale(v + 1), x) << dpi << " dpi at " << x;
        }
    }
}

}  // namespace
}  // namespace bellwick
