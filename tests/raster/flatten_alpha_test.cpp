#include "raster/flatten_alpha.h"

#include <gtest/gtest.h>

#include "support/pixels.h"

namespace koma {
namespace {

QImage argb(int w, int h, QRgb fill) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

TEST(FlattenAlpha, SpriteWithWhiteInsideAndTransparentBorderKeysWithoutHoles) {
    // A transparent border round a sprite that has white pixels of its own.
    QImage sprite = argb(4, 3, qRgba(0, 0, 0, 0));
    sprite.setPixel(1, 1, qRgba(255, 255, 255, 255));
    sprite.setPixel(2, 1, qRgba(255, 0, 0, 255));
    const QImage flat = flatten_over_white(sprite);
    const QRgb key = flat.pixel(0, 0);
    EXPECT_NE(key, qRgb(255, 255, 255)) << "white is taken by the sprite";
    EXPECT_EQ(flat.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(flat.pixel(2, 1), qRgb(255, 0, 0));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(flat.pixel(x, y) == key, !((x == 1 || x == 2) && y == 1)) << x << "," << y;
    // The nearest free colour to white: one step off in one channel.
    EXPECT_EQ(qRed(key) + qGreen(key) + qBlue(key), 3 * 255 - 1);
}

TEST(FlattenAlpha, KeyIsWhiteWhenWhiteIsFreeAndAvoidsPartlyTransparentResults) {
    QImage sprite = argb(3, 1, qRgba(0, 0, 0, 0));
    sprite.setPixel(1, 0, qRgba(0, 0, 0, 255));
    EXPECT_EQ(flatten_over_white(sprite).pixel(0, 0), qRgb(255, 255, 255));

    // A nearly clear pixel comes out white over white, so white cannot be the key.
    sprite.setPixel(2, 0, qRgba(0, 0, 0, 0));
    sprite.setPixel(1, 0, qRgba(0, 0, 0, 1));
    const QImage flat = flatten_over_white(sprite);
    EXPECT_EQ(flat.pixel(1, 0), qRgb(254, 254, 254));
    sprite.setPixel(1, 0, qRgba(10, 10, 10, 0));
    sprite.setPixel(2, 0, qRgba(255, 255, 255, 1));  // composites to white
    const QImage flat2 = flatten_over_white(sprite);
    EXPECT_EQ(flat2.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_NE(flat2.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(flat2.pixel(1, 0), flat2.pixel(0, 0));
}

TEST(FlattenAlpha, OpaqueTopLeftCompositesEverythingOverWhite) {
    QImage picture = argb(3, 1, qRgba(0, 0, 255, 255));
    picture.setPixel(1, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(2, 0, qRgba(0, 0, 0, 128));
    const QImage flat = flatten_over_white(picture);
    EXPECT_EQ(flat.format(), QImage::Format_RGB32);
    EXPECT_EQ(flat.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(flat.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(flat.pixel(2, 0), qRgb(127, 127, 127));
}

TEST(FlattenAlpha, KeyAvoidsWhatTheSurfaceKeepsAroundThePicture) {
    QImage dest = test::solid(3, 2, qRgb(255, 255, 255));
    QImage sprite = argb(2, 1, qRgba(0, 0, 0, 0));
    sprite.setPixel(1, 0, qRgba(0, 255, 0, 255));
    const QRgb key = paint_over_white(dest, sprite);
    EXPECT_NE(key, qRgb(255, 255, 255)) << "the uncovered white pixels stay visible";
    EXPECT_EQ(dest.pixel(0, 0), key);
    EXPECT_EQ(dest.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(dest.pixel(2, 1), qRgb(255, 255, 255));
}

TEST(FlattenAlpha, EveryColourTakenMakesWhiteTheKeyAndMovesOpaqueWhite) {
    QImage all(4096, 4097, QImage::Format_ARGB32);
    for (int y = 0; y < 4096; ++y) {
        auto* row = reinterpret_cast<QRgb*>(all.scanLine(y));
        for (int x = 0; x < 4096; ++x) row[x] = 0xFF000000u | static_cast<QRgb>(y * 4096 + x);
    }
    auto* last = reinterpret_cast<QRgb*>(all.scanLine(4096));
    for (int x = 0; x < 4096; ++x) last[x] = 0;
    // The top-left turns transparent; black stays visible further down.
    all.setPixel(0, 0, 0);
    last[1] = 0xFF000000u;
    const QImage flat = flatten_over_white(all);
    EXPECT_EQ(flat.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(flat.pixel(4095, 4095), qRgb(255, 255, 254));
    EXPECT_EQ(flat.pixel(5, 4096), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace koma
