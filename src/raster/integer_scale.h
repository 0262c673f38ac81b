#pragma once

#include <QImage>
#include <QtGlobal>
#include <cstdint>

namespace koma {

/// The largest whole-number enlargement an export offers.
inline constexpr int kMaxScale = 8;

/// Enlarges `height` rows of `width` 32-bit pixels at `source` (rows `source_stride` bytes
/// apart) by `scale` (1 to kMaxScale) in each direction into `dest` (rows `dest_stride` bytes
/// apart, width x scale pixels wide, height x scale rows): every pixel becomes a scale x scale
/// block of its own value, nothing blended. The buffers must not overlap.
void scale_pixels_32(const uint32_t* source, qsizetype source_stride, int width, int height,
                     int scale, uint32_t* dest, qsizetype dest_stride);

/// The same for 8-bit values (palette indices, coverage).
void scale_pixels_8(const uint8_t* source, qsizetype source_stride, int width, int height,
                    int scale, uint8_t* dest, qsizetype dest_stride);

/// `image` enlarged `scale` times in each direction, each pixel an exact scale x scale block, in
/// the image's own format: RGB32, ARGB32 and ARGB32_Premultiplied, and the 8-bit Indexed8 (its
/// colour table kept), Grayscale8 and Alpha8. Scale 1 returns `image` itself (shared, not
/// copied). Returns a null image for a scale outside 1 to kMaxScale, a null image, another
/// format, or a result whose memory cannot be had.
QImage scaled_up(const QImage& image, int scale);

}  // namespace koma
