#include "raster/pixel_memory.h"

#include <new>

namespace koma {

QImage new_image(QSize size, QImage::Format format) {
    if (size.isEmpty()) {
        return {};
    }
    QImage image(size, format);
    if (image.isNull()) {
        throw std::bad_alloc();
    }
    return image;
}

QImage allocated_from(QImage image, const QImage& source) {
    if (image.isNull() && !source.isNull()) {
        throw std::bad_alloc();
    }
    return image;
}

}  // namespace koma
