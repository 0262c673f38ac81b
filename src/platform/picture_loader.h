#pragma once

#include <QImage>
#include <QString>
#include <expected>

namespace koma {

/// Loads a picture file as an RGB32 image of its own size: BMP (including RLE and bit-field
/// variants), JPEG (baseline and progressive, greyscale and CMYK), PNG and the other formats
/// Qt reads, recognised by content rather than by name. EXIF orientation is applied, so photos
/// come in upright. Transparency is flattened over white (see flatten_over_white).
/// Images beyond image_size_allowed are refused before their pixels are allocated.
/// On failure returns a message that says why, for the user.
std::expected<QImage, QString> load_picture(const QString& path);

}  // namespace koma
