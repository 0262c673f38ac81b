#include "platform/picture_loader.h"

#include <QFile>
#include <QImageReader>

#include "platform/flatten_alpha.h"
#include "platform/image_limits.h"

namespace koma {

std::expected<QImage, QString> load_picture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::unexpected(load_message::kCannotOpen);
    }
    QImageReader reader(&file);
    // A file named .png that holds a BMP (or the reverse) loads as what it is.
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>(2 * kMaxImageBytes / (1024 * 1024)));
    if (!reader.canRead()) {
        return std::unexpected(load_message::kCannotDecode);
    }
    const QSize size = reader.size();
    if (size.isValid()) {
        if (size.isEmpty()) {
            return std::unexpected(load_message::kEmpty);
        }
        if (!image_size_allowed(size.width(), size.height())) {
            return std::unexpected(load_message::kTooLarge);
        }
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return std::unexpected(load_message::kCannotDecode);
    }
    // Formats that do not tell their size up front are checked once decoded.
    if (!image_size_allowed(image.width(), image.height())) {
        return std::unexpected(load_message::kTooLarge);
    }
    return flatten_over_white(image);
}

}  // namespace koma
