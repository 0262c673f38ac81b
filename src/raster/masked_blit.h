#pragma once

#include <QImage>
#include <QRgb>
#include <utility>
#include <vector>

namespace koma {

/// One row of a keyed copy: every d[i] whose s[i] is not `key` becomes s[i].
using KeyedRow = void (*)(const QRgb* s, QRgb* d, int n, QRgb key);

/// The row copies this processor can run, by name ("portable" always, "avx2" and "avx512" where
/// the processor has them). MaskedBlit uses the fastest; all give the same pixels.
std::vector<std::pair<const char*, KeyedRow>> keyed_row_variants();

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
