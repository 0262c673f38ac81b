#include "raster/stretch_blit.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace koma {

void StretchBlit(QImage& dest, int dest_width, int dest_height, const QImage& src, int src_width,
                 int src_height) {
    assert(dest.format() == QImage::Format_RGB32 && src.format() == QImage::Format_RGB32);
    if (dest_width <= 0 || dest_height <= 0 || src_width <= 0 || src_height <= 0) {
        return;
    }
    const int out_w = std::min(dest_width, dest.width());
    const int out_h = std::min(dest_height, dest.height());
    for (int y = 0; y < out_h; ++y) {
        // Source pixel of a destination pixel: the one whose span covers its left/top edge.
        const int64_t sy = int64_t{y} * src_height / dest_height;
        if (sy >= src.height()) {
            continue;
        }
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(static_cast<int>(sy)));
        QRgb* d = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = 0; x < out_w; ++x) {
            const int64_t sx = int64_t{x} * src_width / dest_width;
            if (sx < src.width()) {
                d[x] = s[sx];
            }
        }
    }
}

}  // namespace koma
