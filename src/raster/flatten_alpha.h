#pragma once

#include <QImage>
#include <QRgb>

namespace koma {

/// Paints `picture` 1:1 at the top-left corner of `dest` (QImage::Format_RGB32), clipped to
/// `dest`, composited over white.
///
/// When the picture's top-left pixel is fully transparent the picture is meant to be keyed on
/// it: its fully transparent pixels are then painted in one key colour that no other pixel of
/// `dest` has afterwards, the free colour nearest to white, so that keying leaves out exactly
/// those pixels and the unkeyed picture still looks white there. Should every colour be taken,
/// white becomes the key and the other white pixels of `dest` turn 0xFFFFFE.
/// Returns the key colour, or 0 when the picture is not keyed.
QRgb paint_over_white(QImage& dest, const QImage& picture);

/// The picture as an RGB32 image of its own size, flattened as paint_over_white does.
QImage flatten_over_white(const QImage& picture);

}  // namespace koma
