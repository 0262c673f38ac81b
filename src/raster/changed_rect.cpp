#include "raster/changed_rect.h"

#include <cstring>

namespace koma {

QRect changed_rect(const QImage& before, const QImage& image, const QRect& area) {
    const int w = area.width();
    const size_t row_bytes = sizeof(QRgb) * static_cast<size_t>(w);
    auto old_row = [&](int y) { return reinterpret_cast<const QRgb*>(before.constScanLine(y)); };
    auto new_row = [&](int y) {
        return reinterpret_cast<const QRgb*>(image.constScanLine(area.top() + y)) + area.left();
    };
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < area.height(); ++y) {
        if (std::memcmp(old_row(y), new_row(y), row_bytes) != 0) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    if (top < 0) return {};
    int left = w;
    int right = -1;
    for (int y = top; y <= bottom; ++y) {
        const QRgb* a = old_row(y);
        const QRgb* b = new_row(y);
        for (int x = 0; x < left; ++x) {
            if (a[x] != b[x]) {
                left = x;
                break;
            }
        }
        for (int x = w - 1; x > right; --x) {
            if (a[x] != b[x]) {
                right = x;
                break;
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace koma
