#pragma once

#include <QImage>
#include <QRgb>
#include <initializer_list>
#include <string>

namespace koma::test {

/// An RGB32 image of one colour.
QImage solid(int width, int height, QRgb colour);

/// An RGB32 image drawn from rows of characters, each character a colour from `palette`
/// ("K" black, "W" white, "R" red, "G" green, "B" blue, "M" magenta, "Y" yellow, "C" cyan).
QImage from_rows(std::initializer_list<std::string> rows);

/// The row y of an image as characters of the same palette ("?" for other colours).
std::string row_of(const QImage& image, int y);

}  // namespace koma::test

namespace koma::test {

/// Empty when `decoded` (any format) shows exactly `expected`: where `expected` is clear (alpha
/// 0) `decoded` is clear too, elsewhere both have the same opaque colour. Otherwise names the
/// first pixel that differs.
std::string pixel_difference(const QImage& decoded, const QImage& expected);

}  // namespace koma::test
