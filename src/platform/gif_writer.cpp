#include "platform/gif_writer.h"

#include <QSaveFile>
#include <vector>

#include "platform/gif_encoder.h"

namespace koma {

std::expected<GifWritten, QString> DIBtoGIFAniEx(const QString& file_name, const GifFrame* frames,
                                                 int count, const GifOptions* options) {
    (void)options;  // its fixed values carry no choice for this encoder
    if (count <= 0) {
        return GifWritten::Nothing;
    }
    auto failure = [&](const QString& reason) {
        return std::unexpected(QStringLiteral("%1: %2").arg(file_name, reason));
    };

    std::vector<QImage> images;
    images.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        QImage image = dib_image(frames[i].dib);
        if (image.isNull()) {
            return failure(QStringLiteral("frame %1 was not captured").arg(i));
        }
        images.push_back(std::move(image));
    }
    auto encoded = encode_gif_animation(images, kGifFrameDelay);
    if (!encoded) {
        return failure(encoded.error());
    }

    QSaveFile file(file_name);
    if (!file.open(QIODevice::WriteOnly)) {
        return failure(file.errorString());
    }
    if (file.write(encoded->bytes) != encoded->bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(reason);
    }
    if (!file.commit()) {
        return failure(file.errorString());
    }
    return GifWritten::File;
}

}  // namespace koma
