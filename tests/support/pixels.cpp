#include "support/pixels.h"

#include <array>
#include <cstdio>
#include <utility>

namespace koma::test {

namespace {

constexpr std::array<std::pair<char, QRgb>, 8> kPalette{{{'K', 0xFF000000u},
                                                         {'W', 0xFFFFFFFFu},
                                                         {'R', 0xFFFF0000u},
                                                         {'G', 0xFF00FF00u},
                                                         {'B', 0xFF0000FFu},
                                                         {'M', 0xFFFF00FFu},
                                                         {'Y', 0xFFFFFF00u},
                                                         {'C', 0xFF00FFFFu}}};

QRgb colour_of(char c) {
    for (const auto& [name, rgb] : kPalette) {
        if (name == c) return rgb;
    }
    return 0xFF808080u;
}

}  // namespace

QImage solid(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage from_rows(std::initializer_list<std::string> rows) {
    const int h = static_cast<int>(rows.size());
    const int w = h == 0 ? 0 : static_cast<int>(rows.begin()->size());
    QImage image(w, h, QImage::Format_RGB32);
    int y = 0;
    for (const std::string& row : rows) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, colour_of(row.at(static_cast<size_t>(x))));
        }
        ++y;
    }
    return image;
}

std::string row_of(const QImage& image, int y) {
    std::string row;
    for (int x = 0; x < image.width(); ++x) {
        char c = '?';
        for (const auto& [name, rgb] : kPalette) {
            if (rgb == image.pixel(x, y)) c = name;
        }
        row += c;
    }
    return row;
}

}  // namespace koma::test

namespace koma::test {

std::string pixel_difference(const QImage& decoded, const QImage& expected) {
    if (decoded.size() != expected.size()) {
        return "size " + std::to_string(decoded.width()) + "x" + std::to_string(decoded.height()) +
               " instead of " + std::to_string(expected.width()) + "x" +
               std::to_string(expected.height());
    }
    const QImage a = decoded.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb got = a.pixel(x, y);
            const QRgb want = b.pixel(x, y);
            const bool same = qAlpha(want) == 0 ? qAlpha(got) == 0 : got == want;
            if (!same) {
                char text[96];
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %08X instead of %08X", x, y,
                              got, want);
                return text;
            }
        }
    }
    return {};
}

}  // namespace koma::test
