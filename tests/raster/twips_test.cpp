#include "raster/twips.h"

#include <gtest/gtest.h>

#include "raster/surface.h"

namespace koma {
namespace {

TEST(Twips, NearestDivisionRoundsHalvesToEven) {
    EXPECT_EQ(nearest_div(5, 2), 2);    // 2.5
    EXPECT_EQ(nearest_div(7, 2), 4);    // 3.5
    EXPECT_EQ(nearest_div(-5, 2), -2);  // -2.5
    EXPECT_EQ(nearest_div(-7, 2), -4);  // -3.5
    EXPECT_EQ(nearest_div(-1, 15), 0);
    EXPECT_EQ(nearest_div(-8, 15), -1);
    EXPECT_EQ(twips_to_pixels(1508), 101);  // 100.53
    EXPECT_EQ(twips_to_pixels(1507), 100);  // 100.47
    EXPECT_EQ(twips_to_pixels(22), 1);      // 1.47
    EXPECT_EQ(twips_to_pixels(6930), 462);
    EXPECT_EQ(round_half_even(2.5), 2.0);
    EXPECT_EQ(round_half_even(3.5), 4.0);
    EXPECT_EQ(round_half_even(1507.5), 1508.0);
    EXPECT_EQ(round_half_even(-0.5), 0.0);
}

TEST(Surface, KeepsTwipsAndDerivesPixelsAndKeepsContentOnResize) {
    Surface s(1508, 45);
    EXPECT_EQ(s.width_twips(), 1508);
    EXPECT_EQ(s.width_px(), 101);
    EXPECT_EQ(s.height_px(), 3);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.pixel(0, 0), kWindowColour);

    s.image().setPixel(1, 1, qRgb(1, 2, 3));
    s.resize_pixels(4, 5, qRgb(9, 9, 9));
    EXPECT_EQ(s.width_twips(), 60);
    EXPECT_EQ(s.pixel(1, 1), qRgb(1, 2, 3));
    EXPECT_EQ(s.pixel(3, 4), qRgb(9, 9, 9));

    QImage argb(2, 3, QImage::Format_ARGB32);
    argb.fill(qRgba(10, 20, 30, 255));
    s.set_picture(argb);
    EXPECT_EQ(s.width_twips(), 30);
    EXPECT_EQ(s.height_twips(), 45);
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_EQ(s.pixel(1, 2), qRgb(10, 20, 30));
}

}  // namespace
}  // namespace koma
