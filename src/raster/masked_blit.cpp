#include "raster/masked_blit.h"

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
         static_cast<int>(sy), static_cast<int>(w),  static_cast<int>(h)};
    return r;
}

// One row of a keyed copy. The portable version selects without branches so that it vectorises
// with SSE2; where the processor has masked stores (AVX2, AVX-512) the copy writes only the
// opaque pixels and never reads the destination, which halves the memory traffic of a mostly
// transparent foreground.
void keyed_row_portable(const QRgb* s, QRgb* d, int n, QRgb key) {
    for (int i = 0; i < n; ++i) {
        const QRgb keep = static_cast<QRgb>(-static_cast<int32_t>(s[i] == key));
        d[i] = (d[i] & keep) | (s[i] & ~keep);
    }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx512f,avx512bw,avx512vl"))) void keyed_row_avx512(const QRgb* __restrict s,
                                                                           QRgb* __restrict d,
                                                                           int n, QRgb key) {
    for (int i = 0; i < n; ++i) {
        if (s[i] != key) d[i] = s[i];
    }
}

__attribute__((target("avx2"))) void keyed_row_avx2(const QRgb* __restrict s, QRgb* __restrict d,
                                                    int n, QRgb key) {
    for (int i = 0; i < n; ++i) {
        if (s[i] != key) d[i] = s[i];
    }
}

KeyedRow pick_keyed_row() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl")) {
        return keyed_row_avx512;
    }
    if (__builtin_cpu_supports("avx2")) {
        return keyed_row_avx2;
    }
    return keyed_row_portable;
}

const KeyedRow keyed_row = pick_keyed_row();
#else
const KeyedRow keyed_row = keyed_row_portable;
#endif

}  // namespace

std::vector<std::pair<const char*, KeyedRow>> keyed_row_variants() {
    std::vector<std::pair<const char*, KeyedRow>> variants{{"portable", keyed_row_portable}};
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx2")) {
        variants.emplace_back("avx2", keyed_row_avx2);
    }
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl")) {
        variants.emplace_back("avx512", keyed_row_avx512);
    }
#endif
    return variants;
}

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
        keyed_row(s, d, r.width, trans_color);
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
    // Whole rows of two images of the same width lie one after the other: one large copy moves
    // them faster than a copy per row.
    if (r.dest_x == 0 && r.src_x == 0 && r.width == dest.width() && r.width == src.width() &&
        dest.bytesPerLine() == src.bytesPerLine()) {
        std::memcpy(dest.scanLine(r.dest_y), src.constScanLine(r.src_y),
                    static_cast<size_t>(dest.bytesPerLine()) * static_cast<size_t>(r.height));
        return;
    }
    for (int row = 0; row < r.height; ++row) {
        std::memcpy(reinterpret_cast<QRgb*>(dest.scanLine(r.dest_y + row)) + r.dest_x,
                    reinterpret_cast<const QRgb*>(src.constScanLine(r.src_y + row)) + r.src_x,
                    static_cast<size_t>(r.width) * sizeof(QRgb));
    }
}

}  // namespace koma
