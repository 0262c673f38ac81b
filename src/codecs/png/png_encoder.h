#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <expected>
#include <vector>

#include "codecs/coding_effort.h"
#include "codecs/png/png_layout.h"

namespace koma {

/// How libpng and zlib code the rows: which row filters libpng may choose from, and zlib's
/// strategy (Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE ...).
struct PngCoding {
    int filters = 0;    ///< PNG_FILTER_* bits; 0: none for palettes, all for colour rows
    int strategy = -1;  ///< -1: libpng's choice
    int level = 9;      ///< zlib's level, 1 (fastest) to 9 (smallest)
};

/// The codings worth trying for a layout, the usual best first.
std::vector<PngCoding> png_codings(const PngLayout& layout);

/// The one coding of CodingEffort::Default for a layout: palette indices unfiltered at zlib's
/// highest level (their long runs need its match search), colour rows through libpng's
/// adaptive filters at zlib's fastest level with run-length matches only (filtered colour rows
/// have few long matches: a tenth of the time for a few hundredths of a percent more).
PngCoding default_coding(const PngLayout& layout);

/// A whole PNG file holding `area` of `image` (RGB32 or ARGB32) in `layout`, coded by libpng
/// with `coding`. Every pixel of the area must be in the layout (a palette holds it, or RGB has
/// no clear pixel unless it has a key). Fails with libpng's message.
std::expected<QByteArray, QString> encode_png(const QImage& image, const QRect& area,
                                              const PngLayout& layout, PngCoding coding = {});

/// The smallest of encode_png over every coding of png_codings.
std::expected<QByteArray, QString> encode_png_smallest(const QImage& image, const QRect& area,
                                                       const PngLayout& layout);

/// A whole PNG file of `image` in the smallest layout for its own pixels, the smallest coding,
/// its rows coded again by libdeflate when that is smaller (see recode_smaller).
std::expected<QByteArray, QString> encode_png(const QImage& image);

/// A whole PNG file of `image` with `effort`: CodingEffort::Max is encode_png(image) above;
/// CodingEffort::Default codes it once, with default_coding, in image_layout.
std::expected<QByteArray, QString> encode_png(const QImage& image, CodingEffort effort);

/// The zlib stream of the rows of a PNG file: the data of its IDAT chunks, joined.
QByteArray png_image_data(const QByteArray& png);

/// `png` with its image data replaced by the zlib stream `data`, in one IDAT chunk.
QByteArray with_image_data(const QByteArray& png, const QByteArray& data);

}  // namespace koma
