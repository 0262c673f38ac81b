#include "raster/surface.h"

#include <gtest/gtest.h>

#include "support/pixels.h"

namespace koma {
namespace {

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kBlue = 0xFF0000FFu;

// Every pixel of the image, checked to be `colour`; the first that is not is reported.
::testing::AssertionResult all_of(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != colour) {
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << std::hex << image.pixel(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(BlankSurface, HasItsSizeAndColourBeforeAnyDrawing) {
    const Surface s(6 * 15, 3 * 15 + 7, kRed);  // 3.47 px: 3
    EXPECT_EQ(s.width_px(), 6);
    EXPECT_EQ(s.height_px(), 3);
    EXPECT_EQ(s.pixel(5, 2), kRed);
    EXPECT_EQ(s.image().size(), QSize(6, 3));
    EXPECT_EQ(s.image().format(), QImage::Format_RGB32);
    EXPECT_TRUE(all_of(s.image(), kRed));
}

TEST(BlankSurface, AFillBeforeTheFirstDrawingIsKept) {
    Surface s(4 * 15, 2 * 15, kRed);
    s.fill(kBlue);
    EXPECT_TRUE(all_of(s.image(), kBlue));
    s.clear();
    EXPECT_TRUE(all_of(s.image(), kWindowColour));
}

TEST(BlankSurface, GrowingInAnotherColourKeepsTheOldArea) {
    Surface s(2 * 15, 2 * 15, kRed);
    s.resize_pixels(4, 3, kBlue);
    ASSERT_EQ(s.image().size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(s.pixel(x, y), x < 2 && y < 2 ? kRed : kBlue) << x << "," << y;
        }
    }
}

TEST(BlankSurface, GrowingFromNothingTakesTheNewColour) {
    Surface s;
    EXPECT_EQ(s.width_px(), 0);
    s.resize_pixels(3, 2, kBlue);
    EXPECT_EQ(s.width_twips(), 45);
    EXPECT_TRUE(all_of(s.image(), kBlue));
    EXPECT_EQ(s.image().size(), QSize(3, 2));
}

TEST(BlankSurface, DrawingOnACopyLeavesTheOriginalBlank) {
    Surface a(3 * 15, 3 * 15, kRed);
    Surface b = a;
    b.image().setPixel(1, 1, kBlue);
    EXPECT_EQ(b.pixel(1, 1), kBlue);
    EXPECT_TRUE(all_of(a.image(), kRed));
}

TEST(BlankSurface, WhatWasDrawnSurvivesAResize) {
    Surface s(2 * 15, 1 * 15, kRed);
    s.image().setPixel(0, 0, kBlue);
    s.resize_pixels(3, 1, kRed);
    EXPECT_EQ(s.pixel(0, 0), kBlue);
    EXPECT_EQ(s.pixel(1, 0), kRed);
    EXPECT_EQ(s.pixel(2, 0), kRed);
}

TEST(BlankSurface, APictureReplacesTheBlank) {
    Surface s(5 * 15, 5 * 15, kRed);
    s.set_picture(test::from_rows({"BG"}));
    EXPECT_EQ(s.width_px(), 2);
    EXPECT_EQ(s.height_px(), 1);
    EXPECT_EQ(test::row_of(s.image(), 0), "BG");
}

}  // namespace
}  // namespace koma
