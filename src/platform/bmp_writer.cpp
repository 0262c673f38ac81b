#include "platform/bmp_writer.h"

#include <QImageWriter>
#include <QSaveFile>

namespace koma {

std::expected<void, QString> save_bmp(const QImage& image, const QString& path) {
    auto failure = [&](const QString& reason) {
        return std::unexpected(QStringLiteral("%1: %2").arg(path, reason));
    };
    if (image.isNull()) {
        return failure(QStringLiteral("the image is empty"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(file.errorString());
    }
    // Qt writes images without alpha as 24-bit BMP.
    const QImage opaque =
        image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image;
    QImageWriter writer(&file, "bmp");
    if (!writer.write(opaque)) {
        const QString reason =
            file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit()) {
        return failure(file.errorString());
    }
    return {};
}

}  // namespace koma
