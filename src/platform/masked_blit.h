#pragma once

#include <QImage>
#include <QRgb>

namespace koma {

/// Colour-keyed copy of the width x height rectangle at (src_x, src_y) of `src` onto `dest` at
/// (x, y). Afterwards every destination pixel whose source pixel is exactly `trans_color` (as the
/// source stores it, all 32 bits) is unchanged, and every other pixel has its source pixel's
/// colour. Parts of the rectangle outside either image are left out. Both images must be
/// QImage::Format_RGB32. A rectangle whose width x height x 3 exceeds the signed 32-bit range
/// is refused: nothing is drawn and false is returned; otherwise true.
bool MaskedBlit(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
                int src_y, QRgb trans_color);

/// Plain copy (no key) of the width x height rectangle at (src_x, src_y) of `src` onto `dest` at
/// (x, y), clipped to both images. Both images must be QImage::Format_RGB32.
void PlainBlit(QImage& dest, int x, int y, int width, int height, const QImage& src, int src_x,
               int src_y);

}  // namespace koma
