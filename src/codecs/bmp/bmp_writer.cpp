#include "codecs/bmp/bmp_writer.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/replace_file.h"
#include "raster/pixel_memory.h"

namespace koma {

std::expected<QByteArray, QString> encode_bmp(const QImage& image) {
    if (image.isNull()) {
        return std::unexpected(QStringLiteral("the image is empty"));
    }
    // Qt writes images without alpha as 24-bit BMP.
    const QImage opaque = image.hasAlphaChannel()
                              ? allocated_from(image.convertToFormat(QImage::Format_RGB32), image)
                              : image;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(opaque)) {
        return std::unexpected(writer.errorString());
    }
    return bytes;
}

std::expected<void, QString> save_bmp(const QImage& image, const QString& path) {
    const auto bytes = encode_bmp(image);
    if (!bytes) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, bytes.error()));
    }
    return replace_file_contents(path, *bytes);
}

}  // namespace koma
