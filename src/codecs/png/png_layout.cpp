#include "codecs/png/png_layout.h"

#include <algorithm>
#include <bit>

namespace koma {

bool PngLayout::has_clear() const {
    if (kind == Kind::Rgba) return true;
    if (kind == Kind::Rgb) return rgb_key.has_value();
    return kind == Kind::Palette && !palette.empty() && qAlpha(palette.front()) == 0;
}

void ColourCensus::add(QRgb value) {
    if (overflowed_) return;
    if (seen_.try_emplace(value, 0).second) {
        if (values_.size() == kMaxPalette) {
            overflowed_ = true;
            return;
        }
        values_.push_back(value);
        if (qAlpha(value) == 0) any_clear_ = true;
    }
}

void ColourCensus::add(const QImage& image, const QRect& area) {
    if (area.isEmpty()) return;
    QRgb last = 0;
    bool have_last = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        if (overflowed_) {
            // Only whether some pixel is clear still matters.
            if (any_clear_) return;
            for (int x = area.left(); x <= area.right(); ++x) {
                if (qAlpha(pixels[x]) == 0) any_clear_ = true;
            }
            continue;
        }
        for (int x = area.left(); x <= area.right(); ++x) {
            if (have_last && pixels[x] == last) continue;
            last = pixels[x];
            have_last = true;
            if (qAlpha(last) == 0) any_clear_ = true;
            add(last);
        }
    }
}

PngLayout choose_png_layout(const ColourCensus& census, bool want_clear) {
    PngLayout layout;
    if (census.overflowed()) {
        layout.kind =
            (census.any_clear() || want_clear) ? PngLayout::Kind::Rgba : PngLayout::Kind::Rgb;
        return layout;
    }
    layout.kind = PngLayout::Kind::Palette;
    std::vector<QRgb> clear;
    std::vector<QRgb> opaque;
    for (const QRgb c : census.values()) (qAlpha(c) < 255 ? clear : opaque).push_back(c);
    if (want_clear && clear.empty() && opaque.size() < kMaxPalette) clear.push_back(0u);
    layout.palette = clear;
    layout.palette.insert(layout.palette.end(), opaque.begin(), opaque.end());
    if (layout.palette.empty()) layout.palette.push_back(0xFF000000u);
    const size_t n = layout.palette.size();
    layout.bit_depth = n <= 2 ? 1 : n <= 4 ? 2 : n <= 16 ? 4 : 8;
    for (size_t k = 0; k < n; ++k) layout.index.emplace(layout.palette[k], static_cast<uint8_t>(k));
    return layout;
}

UsedColours::UsedColours() : used_(size_t{1} << 18, 0) {}

void UsedColours::add(QRgb value) {
    const uint32_t c = value & 0xFFFFFFu;
    used_[c >> 6] |= uint64_t{1} << (c & 63);
}

void UsedColours::add(const QImage& image, const QRect& area) {
    if (area.isEmpty()) return;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) add(pixels[x]);
    }
}

std::optional<QRgb> UsedColours::first_unused() const {
    for (size_t word = 0; word < used_.size(); ++word) {
        if (used_[word] != ~uint64_t{0}) {
            const int bit = std::countr_one(used_[word]);
            return 0xFF000000u | static_cast<QRgb>(word * 64 + static_cast<size_t>(bit));
        }
    }
    return std::nullopt;
}

PngLayout image_layout(const QImage& image) {
    ColourCensus census;
    census.add(image, image.rect());
    PngLayout layout = choose_png_layout(census, false);
    if (layout.kind == PngLayout::Kind::Rgba) {
        // Three bytes a pixel and one colour set aside for clear pixels code smaller and faster
        // than four.
        UsedColours used;
        used.add(image, image.rect());
        if (const auto key = used.first_unused()) {
            layout.kind = PngLayout::Kind::Rgb;
            layout.rgb_key = key;
        }
    }
    return layout;
}

size_t filtered_size(int width, int height, const PngLayout& layout) {
    const size_t w = static_cast<size_t>(width);
    size_t row = 0;
    switch (layout.kind) {
        case PngLayout::Kind::Rgb:
            row = 3 * w;
            break;
        case PngLayout::Kind::Rgba:
            row = 4 * w;
            break;
        case PngLayout::Kind::Palette:
            row = (w * static_cast<size_t>(layout.bit_depth) + 7) / 8;
            break;
    }
    return (row + 1) * static_cast<size_t>(height);
}

}  // namespace koma
