#pragma once

#include <QIODevice>
#include <QImage>
#include <QString>

#include "raster/surface.h"

namespace koma {

/// Results of decode_png_into other than 0 (success).
enum PngDecodeError : int {
    kPngCannotOpen = 1,    ///< the file cannot be opened for reading
    kPngCannotDecode = 2,  ///< not a PNG file, or damaged (bad CRC, truncated, bad header)
    kPngTooLarge = 3,      ///< the header's size is beyond image_size_allowed
};

/// Decodes the PNG file at `path` (every colour type and bit depth, palettes, tRNS,
/// interlacing) and paints it 1:1 at the top-left corner of `target`, clipped to the surface,
/// composited over white with transparent pixels keyed as paint_over_white describes.
/// The size in the header is checked before any pixel memory is allocated.
/// Returns 0 on success, otherwise a PngDecodeError; the surface is then unchanged.
int decode_png_into(const QString& path, Surface& target);

/// Decodes the PNG stream read from `device` as decode_png_into does, into `picture`: a new
/// QImage::Format_RGBA8888 image of the stream's size, alpha not premultiplied and not yet
/// flattened. The size is checked before any pixel memory is allocated.
/// Returns 0 on success, otherwise kPngCannotDecode or kPngTooLarge; `picture` is then
/// unspecified.
int decode_png_picture(QIODevice& device, QImage& picture);

/// The user's words for a result of decode_png_into ("" for 0).
QString png_decode_message(int result);

}  // namespace koma
