// The pictures built into the executable, checked byte by byte.
#include "qt/window_icon.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

QByteArray resource(const char* name)
{
    QFile f(QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

std::uint8_t u8(const QByteArray& b, qsizetype at) { return static_cast<std::uint8_t>(b.at(at)); }
int le16(const QByteArray& b, qsizetype at) { return u8(b, at) | u8(b, at + 1) << 8; }
std::int64_t le32(const QByteArray& b, qsizetype at) { return le16(b, at) | std::int64_t(le16(b, at + 2)) << 16; }

TEST(Artwork, BannerIsOneFlatGifWithTransparentRoundedCorners)
{
    const QByteArray gif = resource(":/banner.gif");
    ASSERT_GT(gif.size(), 13 + 768);
    EXPECT_EQ(gif.left(6), "GIF89a");
    EXPECT_EQ(le16(gif, 6), 432);
    EXPECT_EQ(le16(gif, 8), 144);
    const int flags = u8(gif, 10);
    ASSERT_TRUE(flags & 0x80) << "no global colour table";
    EXPECT_EQ(2 << (flags & 7), 256);

    // Walk the blocks: one graphic control extension with index 255
    // transparent, exactly one image, not interlaced.
    qsizetype at = 13 + 768;
    int images = 0, transparentIndex = -1;
    while (at < gif.size() && u8(gif, at) != 0x3B) {
        if (u8(gif, at) == 0x21) {
            if (u8(gif, at + 1) == 0xF9 && (u8(gif, at + 3) & 1)) transparentIndex = u8(gif, at + 6);
            at += 2;
            while (u8(gif, at) != 0)
                at += u8(gif, at) + 1;
            ++at;
        } else {
            ASSERT_EQ(u8(gif, at), 0x2C);
            ++images;
            EXPECT_FALSE(u8(gif, at + 9) & 0x40) << "interlaced";
            EXPECT_FALSE(u8(gif, at + 9) & 0x80) << "local colour table";
            at += 11;
            while (u8(gif, at) != 0)
                at += u8(gif, at) + 1;
            ++at;
        }
    }
    EXPECT_EQ(images, 1);
    EXPECT_EQ(transparentIndex, 255);

    QImage img;
    ASSERT_TRUE(img.loadFromData(gif));
    EXPECT_EQ(img.size(), QSize(432, 144));
    // Index 255 is the transparent one, so its pixels are the clear ones.
    int clear = 0, misplaced = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) == 0) {
                ++clear;
                const bool corner = (x < 26 || x >= 432 - 26) && (y < 26 || y >= 144 - 26);
                misplaced += !corner;
            }
    EXPECT_EQ(clear, 522);
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(img.pixel(216, 72)), 255);
}

// Start-of-frame marker and component count of a JPEG.
std::pair<int, int> jpegFrame(const QByteArray& jpg)
{
    qsizetype at = 2;
    while (at + 9 < jpg.size()) {
        if (u8(jpg, at) != 0xFF) return {0, 0};
        const int marker = u8(jpg, at + 1);
        const int length = u8(jpg, at + 2) << 8 | u8(jpg, at + 3);
        if (marker >= 0xC0 && marker <= 0xC2) return {marker, u8(jpg, at + 9)};
        at += 2 + length;
    }
    return {0, 0};
}

TEST(Artwork, BarAndBadgeAreProgressiveColourJpegs)
{
    const struct {
        const char* name;
        QSize size;
    } cases[] = {{":/bar.jpg", {30, 144}}, {":/badge.jpg", {144, 144}}};
    for (const auto& c : cases) {
        const QByteArray jpg = resource(c.name);
        EXPECT_EQ(jpegFrame(jpg), std::make_pair(0xC2, 3)) << c.name;
        QImage img;
        ASSERT_TRUE(img.loadFromData(jpg)) << c.name;
        EXPECT_EQ(img.size(), c.size) << c.name;
    }
}

TEST(Artwork, IconIsOne24BitImageWithItsBottomRowsMasked)
{
    const QByteArray ico = resource(":/bellwick.ico");
    ASSERT_EQ(le16(ico, 2), 1);  // icon
    ASSERT_EQ(le16(ico, 4), 1);  // one image
    EXPECT_EQ(u8(ico, 6), 72);
    EXPECT_EQ(u8(ico, 7), 72);
    const std::int64_t size = le32(ico, 14), offset = le32(ico, 18);
    EXPECT_EQ(size, 16456);
    ASSERT_EQ(offset + size, ico.size());
    EXPECT_EQ(le32(ico, offset), 40);
    EXPECT_EQ(le32(ico, offset + 8), 144);
    EXPECT_EQ(le16(ico, offset + 14), 24);
    // AND mask rows, bottom-up, 12 bytes each: the first 15 all set.
    const qsizetype mask = offset + 40 + 72 * 72 * 3;
    int clear = 0;
    for (int row = 0; row < 72; ++row)
        for (int x = 0; x < 72; ++x)
            clear += (u8(ico, mask + row * 12 + x / 8) >> (7 - x % 8)) & 1;
    EXPECT_EQ(clear, 1080);
    for (int x = 0; x < 72; ++x)
        EXPECT_TRUE((u8(ico, mask + 14 * 12 + x / 8) >> (7 - x % 8)) & 1);

    QImage img;
    ASSERT_TRUE(img.loadFromData(ico));
    EXPECT_EQ(img.size(), QSize(72, 72));

    const QImage icon = bellwick::iconFromIco(ico);
    ASSERT_EQ(icon.size(), QSize(72, 72));
    int seeThrough = 0;
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 72; ++x)
            seeThrough += qAlpha(icon.pixel(x, y)) == 0;
    EXPECT_EQ(seeThrough, 1080);
    EXPECT_EQ(qAlpha(icon.pixel(0, 71)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(0, 56)), 255);
    EXPECT_EQ(icon.pixel(36, 20), img.pixel(36, 20));
    EXPECT_TRUE(bellwick::iconFromIco(ico.left(100)).isNull());
}

}  // namespace
