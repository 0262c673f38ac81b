#include "codecs/video/yuv420.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace koma {

namespace {

// BT.709 as a decoder applies it to 8-bit limited range: R, G, B = s (Y - 16) plus the chroma
// terms below times (Cb - 128, Cr - 128).
constexpr double kKr = 0.2126;
constexpr double kKb = 0.0722;
constexpr double kKg = 1.0 - kKr - kKb;
constexpr double kLumaScale = 255.0 / 219.0;
constexpr double kChromaScale = 255.0 / 224.0;
constexpr double kRFromCr = 2.0 * (1.0 - kKr) * kChromaScale;
constexpr double kGFromCb = -2.0 * kKb * (1.0 - kKb) / kKg * kChromaScale;
constexpr double kGFromCr = -2.0 * kKr * (1.0 - kKr) / kKg * kChromaScale;
constexpr double kBFromCb = 2.0 * (1.0 - kKb) * kChromaScale;

// The least-squares chroma of a block. With the luma of every pixel free, the error of a pixel
// is what remains of (pixel - chroma term) after removing its mean over the channels; summed
// over the block this is least for the chroma that fits the block's mean colour, projected the
// same way: (Cb, Cr) = (CᵀPC)⁻¹ CᵀP m, P = I - 11ᵀ/3, C the chroma columns above, m the mean.
struct ChromaFit {
    std::array<double, 3> cb{};  // rows of (CᵀPC)⁻¹ CᵀP, applied to (R, G, B)
    std::array<double, 3> cr{};
};

constexpr std::array<double, 3> projected(double r, double g, double b) {
    const double mean = (r + g + b) / 3.0;
    return {r - mean, g - mean, b - mean};
}

constexpr double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

constexpr ChromaFit chroma_fit() {
    const auto pu = projected(0.0, kGFromCb, kBFromCb);
    const auto pv = projected(kRFromCr, kGFromCr, 0.0);
    const double uu = dot(pu, pu);
    const double uv = dot(pu, pv);
    const double vv = dot(pv, pv);
    const double det = uu * vv - uv * uv;
    ChromaFit fit;
    for (int i = 0; i < 3; ++i) {
        fit.cb[i] = (vv * pu[i] - uv * pv[i]) / det;
        fit.cr[i] = (uu * pv[i] - uv * pu[i]) / det;
    }
    return fit;
}

constexpr ChromaFit kFit = chroma_fit();

uint8_t to_code(double value, int low, int high) {
    return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(value)), low, high));
}

}  // namespace

void rgb_to_yuv420(const QImage& rgb, int width, int height, const Yuv420Planes& planes) {
    const int last_x = rgb.width() - 1;
    const int last_y = rgb.height() - 1;
    for (int by = 0; by < (height + 1) / 2; ++by) {
        // The block's two rows, the image's last row standing for rows past it.
        const QRgb* rows[2];
        for (int k = 0; k < 2; ++k) {
            rows[k] =
                reinterpret_cast<const QRgb*>(rgb.constScanLine(std::min(by * 2 + k, last_y)));
        }
        for (int bx = 0; bx < (width + 1) / 2; ++bx) {
            QRgb pixel[4];
            int sum_r = 0;
            int sum_g = 0;
            int sum_b = 0;
            for (int k = 0; k < 4; ++k) {
                pixel[k] = rows[k / 2][std::min(bx * 2 + k % 2, last_x)];
                sum_r += qRed(pixel[k]);
                sum_g += qGreen(pixel[k]);
                sum_b += qBlue(pixel[k]);
            }
            const double r = sum_r / 4.0;
            const double g = sum_g / 4.0;
            const double b = sum_b / 4.0;
            const uint8_t cb =
                to_code(128.0 + kFit.cb[0] * r + kFit.cb[1] * g + kFit.cb[2] * b, 16, 240);
            const uint8_t cr =
                to_code(128.0 + kFit.cr[0] * r + kFit.cr[1] * g + kFit.cr[2] * b, 16, 240);
            planes.cb[static_cast<ptrdiff_t>(by) * planes.cb_stride + bx] = cb;
            planes.cr[static_cast<ptrdiff_t>(by) * planes.cr_stride + bx] = cr;
            // Each luma for the chroma as rounded: the mean over the channels of what the chroma
            // leaves of the pixel.
            const double chroma_sum =
                (kGFromCb + kBFromCb) * (cb - 128) + (kRFromCr + kGFromCr) * (cr - 128);
            for (int k = 0; k < 4; ++k) {
                const int x = bx * 2 + k % 2;
                const int y = by * 2 + k / 2;
                if (x >= width || y >= height) continue;
                const double luma =
                    (qRed(pixel[k]) + qGreen(pixel[k]) + qBlue(pixel[k]) - chroma_sum) / 3.0;
                planes.y[static_cast<ptrdiff_t>(y) * planes.y_stride + x] =
                    to_code(16.0 + luma / kLumaScale, 16, 235);
            }
        }
    }
}

}  // namespace koma
