#pragma once

#include <QImage>
#include <QRect>

namespace koma {

/// The bounding rectangle of the pixels in which `area` of `image` differs from `before`
/// (which has the area's size), in the coordinates of `before`; empty when nothing differs.
/// Both images are 32 bits a pixel.
QRect changed_rect(const QImage& before, const QImage& image, const QRect& area);

/// The same over the whole of two images of one size.
inline QRect changed_rect(const QImage& before, const QImage& image) {
    return changed_rect(before, image, image.rect());
}

}  // namespace koma
