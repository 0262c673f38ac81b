#include "codecs/video/yuv420.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <algorithm>
#include <array>
#include <cmath>

namespace koma {
namespace {

// One 2 x 2 block converted: Y of its four pixels, its Cb and Cr.
struct Block {
    std::array<int, 4> y{};
    int cb = 0;
    int cr = 0;
};

Block convert(QRgb a, QRgb b, QRgb c, QRgb d) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, a);
    image.setPixel(1, 0, b);
    image.setPixel(0, 1, c);
    image.setPixel(1, 1, d);
    uint8_t y[4];
    uint8_t cb = 0;
    uint8_t cr = 0;
    rgb_to_yuv420(image, 2, 2, {y, &cb, &cr, 2, 1, 1});
    return {{y[0], y[1], y[2], y[3]}, cb, cr};
}

// The published BT.709 limited-range decoding, each 2 x 2 block showing its own chroma, before
// the decoder clips the result to 0 to 255.
double squared_error(QRgb want, int y, int cb, int cr) {
    const double l = 1.164 * (y - 16);
    const double r = l + 1.793 * (cr - 128);
    const double g = l - 0.213 * (cb - 128) - 0.533 * (cr - 128);
    const double b = l + 2.112 * (cb - 128);
    return std::pow(r - qRed(want), 2) + std::pow(g - qGreen(want), 2) +
           std::pow(b - qBlue(want), 2);
}

// The least error of a pixel over every luma code, for the given chroma.
double best_error(QRgb want, int cb, int cr) {
    double best = 1e9;
    for (int y = 16; y <= 235; ++y) best = std::min(best, squared_error(want, y, cb, cr));
    return best;
}

TEST(Yuv420, FlatColoursGetTheirBt709Codes) {
    struct Case {
        QRgb rgb;
        int y, cb, cr;
    };
    for (const Case& c : {Case{0xFFFFFFFF, 235, 128, 128}, Case{0xFF000000, 16, 128, 128},
                          Case{0xFFFF0000, 63, 102, 240}, Case{0xFF00FF00, 173, 42, 26},
                          Case{0xFF0000FF, 32, 240, 118}}) {
        const Block block = convert(c.rgb, c.rgb, c.rgb, c.rgb);
        EXPECT_EQ(block.cb, c.cb) << std::hex << c.rgb;
        EXPECT_EQ(block.cr, c.cr) << std::hex << c.rgb;
        for (const int y : block.y) EXPECT_NEAR(y, c.y, 1) << std::hex << c.rgb;
    }
}

TEST(Yuv420, EachBlockIsTheLeastSquaresFitOfItsSharedChroma) {
    // Blocks of two or more colours (away from the ends of the channels, so that luma stays within
    // its codes): no chroma near the chosen one, with the best luma for every pixel, comes more
    // than rounding nearer the block's pixels.
    QRandomGenerator random(23);
    const auto channel = [&random] { return 40 + static_cast<int>(random.bounded(176)); };
    for (int trial = 0; trial < 200; ++trial) {
        std::array<QRgb, 4> px;
        for (QRgb& p : px) p = qRgb(channel(), channel(), channel());
        if (trial % 2 == 0) px[1] = px[2] = px[3];  // one pixel against three
        const Block block = convert(px[0], px[1], px[2], px[3]);
        double chosen = 0;
        for (int k = 0; k < 4; ++k) chosen += squared_error(px[k], block.y[k], block.cb, block.cr);
        double nearest = 1e9;
        for (int cb = block.cb - 6; cb <= block.cb + 6; ++cb) {
            for (int cr = block.cr - 6; cr <= block.cr + 6; ++cr) {
                if (cb < 16 || cb > 240 || cr < 16 || cr > 240) continue;
                double sum = 0;
                for (const QRgb p : px) sum += best_error(p, cb, cr);
                nearest = std::min(nearest, sum);
            }
        }
        // Rounding luma and chroma to codes costs at most a few units over the four pixels.
        EXPECT_LE(chosen, nearest + 12.0) << "trial " << trial;
    }
}

}  // namespace
}  // namespace koma
