#include "raster/flatten_alpha.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace koma {

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu;

QRgb over_white(QRgb p) {
    const int a = qAlpha(p);
    if (a == 255) {
        return p | 0xFF000000u;
    }
    const auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p)));
}

// One bit per 24-bit colour.
class ColourSet {
  public:
    ColourSet() : bits_(size_t{1} << 18, 0) {}
    void add(QRgb c) {
        const uint32_t v = c & 0xFFFFFFu;
        bits_[v >> 6] |= uint64_t{1} << (v & 63);
    }
    bool has(uint32_t v) const { return (bits_[v >> 6] >> (v & 63)) & 1u; }

  private:
    std::vector<uint64_t> bits_;
};

// The free colour with the smallest summed distance from white (ties: red kept closest to
// white, then green); 0 when every colour is taken.
QRgb nearest_free_to_white(const ColourSet& used) {
    for (int sum = 0; sum <= 3 * 255; ++sum) {
        for (int dr = 0; dr <= std::min(sum, 255); ++dr) {
            for (int dg = 0; dg <= std::min(sum - dr, 255); ++dg) {
                const int db = sum - dr - dg;
                if (db > 255) {
                    continue;
                }
                const QRgb c = qRgb(255 - dr, 255 - dg, 255 - db);
                if (!used.has(c & 0xFFFFFFu)) {
                    return c;
                }
            }
        }
    }
    return 0;
}

}  // namespace

QRgb paint_over_white(QImage& dest, const QImage& picture) {
    Q_ASSERT(dest.format() == QImage::Format_RGB32);
    const int w = std::min(dest.width(), picture.width());
    const int h = std::min(dest.height(), picture.height());
    if (w <= 0 || h <= 0) {
        return 0;
    }
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    const bool keyed = qAlpha(src.pixel(0, 0)) == 0;

    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = 0; x < w; ++x) {
            out[x] = over_white(in[x]);
        }
    }
    if (!keyed) {
        return 0;
    }

    // Every colour that stays visible, inside the picture and around it.
    ColourSet used;
    for (int y = 0; y < dest.height(); ++y) {
        const auto* in = y < h ? reinterpret_cast<const QRgb*>(src.constScanLine(y)) : nullptr;
        const auto* row = reinterpret_cast<const QRgb*>(dest.constScanLine(y));
        for (int x = 0; x < dest.width(); ++x) {
            if (in != nullptr && x < w && qAlpha(in[x]) == 0) {
                continue;
            }
            used.add(row[x]);
        }
    }
    QRgb key = nearest_free_to_white(used);
    if (key == 0) {
        // Every colour is taken: white pixels give way, one step off white in blue.
        key = kWhite;
        for (int y = 0; y < dest.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(dest.scanLine(y));
            for (int x = 0; x < dest.width(); ++x) {
                if ((row[x] & 0xFFFFFFu) == 0xFFFFFFu) {
                    row[x] = qRgb(255, 255, 254);
                }
            }
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(dest.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(in[x]) == 0) {
                out[x] = key;
            }
        }
    }
    return key;
}

QImage flatten_over_white(const QImage& picture) {
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(kWhite);
    paint_over_white(flat, picture);
    return flat;
}

}  // namespace koma
