#pragma once

#include <QImage>
#include <QString>
#include <expected>

namespace koma {

/// Loads a picture file as an RGB32 image of its own size, recognised by content rather than by
/// name: BMP through decode_bmp_pixels (a PNG or JPEG stream inside a BMP through that format's
/// decoder), PNG through decode_png_picture, JPEG (baseline and progressive, greyscale and CMYK)
/// through Qt, and nothing else: any other format is refused with a message that names it where
/// it is known (GIF, TIFF, WebP, ICO, PBM/PGM/PPM, XPM, ...), as not readable otherwise. A JPEG
/// stream that is not whole (jpeg_stream_whole: cut short, or without scan data) is refused as a
/// damaged PNG is. EXIF orientation is applied, so photos come in upright. Transparency is
/// flattened over white (see flatten_over_white). Images beyond image_size_allowed are refused
/// before their pixels are allocated. On failure returns a message that says why, for the user.
std::expected<QImage, QString> load_picture(const QString& path);

}  // namespace koma
