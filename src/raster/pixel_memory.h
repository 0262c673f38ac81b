#pragma once

#include <QImage>
#include <QSize>

namespace koma {

/// A new image of `size` in `format`, its pixels not yet set. Throws std::bad_alloc, as `new`
/// does, when the pixels cannot be allocated (QImage leaves a null image then, and writing into
/// it would write nowhere); the export turns that into a message. An empty `size` gives a null
/// image and throws nothing.
QImage new_image(QSize size, QImage::Format format);

/// `image`, the result of a copy or a conversion of `source`: throws std::bad_alloc when it came
/// out null although `source` holds pixels.
QImage allocated_from(QImage image, const QImage& source);

}  // namespace koma
