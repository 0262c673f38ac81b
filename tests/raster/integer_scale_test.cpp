#include "raster/integer_scale.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstring>

namespace koma {
namespace {

// A w x h image of the format with a different value in every pixel (as far as 8 bits allow).
QImage numbered(int w, int h, QImage::Format format) {
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint32_t n = static_cast<uint32_t>(y * w + x) * 2654435761u;
            if (image.depth() == 8) {
                image.scanLine(y)[x] = static_cast<uchar>(n >> 24);
            } else {
                reinterpret_cast<uint32_t*>(image.scanLine(y))[x] = n;
            }
        }
    }
    if (format == QImage::Format_Indexed8) {
        for (int i = 0; i < 256; ++i) image.setColor(i, qRgb(i, 255 - i, i / 2));
    }
    return image;
}

TEST(IntegerScale, EveryPixelBecomesABlockOfItsOwnValueInEveryFormat) {
    // An odd width gives 8-bit rows padding at their ends, which must not leak into the result.
    for (const auto format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
          QImage::Format_Indexed8, QImage::Format_Grayscale8, QImage::Format_Alpha8}) {
        const QImage small = numbered(7, 5, format);
        const int bytes = small.depth() / 8;
        for (int scale = 1; scale <= kMaxScale; ++scale) {
            const QImage big = scaled_up(small, scale);
            ASSERT_EQ(big.format(), format);
            ASSERT_EQ(big.size(), small.size() * scale);
            EXPECT_EQ(big.colorTable(), small.colorTable());
            for (int y = 0; y < big.height(); ++y) {
                for (int x = 0; x < big.width(); ++x) {
                    ASSERT_EQ(
                        std::memcmp(big.constScanLine(y) + x * bytes,
                                    small.constScanLine(y / scale) + x / scale * bytes, bytes),
                        0)
                        << "format " << format << ", scale " << scale << ", pixel " << x << ","
                        << y;
                }
            }
        }
    }
}

TEST(IntegerScale, RawRowsOfIndicesHonourBothStrides) {
    // A 3 x 2 crop out of a wider buffer, into a destination with spare bytes at each row end.
    const uint8_t source[2][10] = {{1, 2, 3, 99, 99, 99, 99, 99, 99, 99},
                                   {4, 5, 6, 99, 99, 99, 99, 99, 99, 99}};
    uint8_t dest[6][11];
    std::memset(dest, 0xEE, sizeof dest);
    scale_pixels_8(&source[0][0], 10, 3, 2, 3, &dest[0][0], 11);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 9; ++x) EXPECT_EQ(dest[y][x], source[y / 3][x / 3]) << x << "," << y;
        EXPECT_EQ(dest[y][9], 0xEE) << "row " << y << " ends at its width";
    }
}

TEST(IntegerScale, RefusesWhatItCannotScale) {
    const QImage image = numbered(3, 3, QImage::Format_RGB32);
    EXPECT_TRUE(scaled_up(image, 0).isNull());
    EXPECT_TRUE(scaled_up(image, kMaxScale + 1).isNull());
    EXPECT_TRUE(scaled_up(QImage(), 2).isNull());
    EXPECT_TRUE(scaled_up(numbered(3, 3, QImage::Format_RGB888), 2).isNull());
    EXPECT_EQ(scaled_up(image, 1).constBits(), image.constBits()) << "scale 1 shares the image";
}

}  // namespace
}  // namespace koma
