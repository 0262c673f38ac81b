#include "support/pixels.h"

#include <array>
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
