#include "platform/picture_loader.h"

#include <QImageReader>

namespace koma {

std::expected<QImage, QString> load_picture(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull()) {
        return std::unexpected(reader.errorString());
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace koma
