#include "win32/pictures.h"

#include <gtest/gtest.h>

#include <ostream>

#include <stdexcept>
#include <string>

namespace bellwick {
namespace {

struct PictureCase {
    const char* name;
    const char* resource;
    int askWidth, askHeight;  // 0: natural size
    int width, height;
    int seeThrough;  // pixels with alpha 0
};

// The banner keeps its transparent corners; the badge is squeezed whole.
const PictureCase kPictures[] = {
    {"BannerKeepsItsTransparentCorners", "banner.gif", 0, 0, 432, 144, 522},
    {"BarAtNaturalSize", "bar.jpg", 0, 0, 30, 144, 0},
    {"BadgeScaledToItsBox", "BADGE.JPG", 105, 96, 105, 96, 0},
};

void PrintTo(const PictureCase& c, std::ostream* os) { *os << c.name; }

class Pictures : public testing::TestWithParam<PictureCase> {
protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

TEST_P(Pictures, DecodeWithSizeAndTransparency)
{
    const PictureCase& c = GetParam();
    const Picture p = decodePicture(resourceBytes(c.resource), c.askWidth, c.askHeight);
    ASSERT_FALSE(p.empty());
    EXPECT_EQ(p.width(), c.width);
    EXPECT_EQ(p.height(), c.height);

    DIBSECTION dib{};
    ASSERT_EQ(::GetObjectW(p.bitmap(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 32);
    const auto* pixels = static_cast<const unsigned char*>(dib.dsBm.bmBits);
    int clear = 0, partial = 0;
    for (int i = 0; i < c.width * c.height; ++i) {
        const unsigned char alpha = pixels[i * 4 + 3];
        clear += alpha == 0;
        partial += alpha != 0 && alpha != 255;
    }
    EXPECT_EQ(clear, c.seeThrough);
    EXPECT_EQ(partial, 0);
}

INSTANTIATE_TEST_SUITE_P(Win32, Pictures, testing::ValuesIn(kPictures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Pictures, BytesThatAreNoPictureFailWithAReason)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::byte junk[] = {std::byte{'G'}, std::byte{'I'}, std::byte{'F'}, std::byte{0}, std::byte{1}};
    EXPECT_THROW(decodePicture(junk), std::runtime_error);
    EXPECT_THROW(decodePicture({}), std::runtime_error);
    EXPECT_TRUE(resourceBytes("missing.gif").empty());
}

}  // namespace
}  // namespace bellwick
