#include "platform/masked_blit.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>

namespace koma {

namespace {

/// The part of a blit that lies inside both images, in destination and source coordinates.
struct ClippedRect {
    int dest_x = 0, dest_y = 0, src_x = 0, src_y = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

ClippedRect clip(const QImage& dest, int x, int y, int width, int height, const QImage& src,
                 int src_x, int src_y) {
    // Work in 64 bits: positions near the 32-bit limits must not wrap.
    int64_t dx = x, dy = y, sx = src_x, sy = src_y, w = width, h = height;
    // Shift the start so that neither rectangle begins before its image.
    const int64_t skip_x = std::max<int64_t>({0, -dx, -sx});
    const int64_t skip_y = std::max<int64_t>({0, -dy, -sy});
    dx += skip_x, sx += skip_x, w -= skip_x;
    dy += skip_y, sy += skip_y, h -= skip_y;
    w = std::min({w, dest.width() - dx, src.width() - sx});
    h = std::min({h, dest.height() - dy, src.height() - sy});
    ClippedRect r;
    if (w <= 0 || h <= 0) {
        return r;
    }
    r = {static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx),
         static_cast<int>(sy),  static_cast<int>(w),  static_cast<int>(h)};
    return r;
}

}  // namespace

bool MaskedBlit(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                int src_y, QRgb trans_color) {
    assert(dest.format() == QImage::Format_RGB32 && src.format() == QImage::Format_RGB32);
    if (width <= 0 || height <= 0) {
        return true;
    }
    if (int64_t{width} * height * 3 > INT32_MAX) {
        return false;
    }
    const ClippedRect r = clip(dest, x, y, width, height, src, src_x, src_y);
    if (r.empty()) {
        return true;
    }
    for (int row = 0; row < r.height; ++row) {
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(r.src_y + row)) + r.src_x;
        QRgb* d = reinterpret_cast<QRgb*>(dest.scanLine(r.dest_y + row)) + r.dest_x;
        for (int col = 0; col < r.width; ++col) {
            // Branch-free select so the loop vectorises.
            const QRgb keep = static_cast<QRgb>(-static_cast<int32_t>(s[col] == trans_color));
            d[col] = (d[col] & keep) | (s[col] & ~keep);
        }
    }
    return true;
}

void PlainBlit(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
               int src_y) {
    assert(dest.format() == QImage::Format_RGB32 && src.format() == QImage::Format_RGB32);
    const ClippedRect r = clip(dest, x, y, width, height, src, src_x, src_y);
    if (r.empty()) {
        return;
    }
    for (int row = 0; row < r.height; ++row) {
        std::memcpy(reinterpret_cast<QRgb*>(dest.scanLine(r.dest_y + row)) + r.dest_x,
                    reinterpret_cast<const QRgb*>(src.constScanLine(r.src_y + row)) + r.src_x,
                    static_cast<size_t>(r.width) * sizeof(QRgb));
    }
}

}  // namespace koma
