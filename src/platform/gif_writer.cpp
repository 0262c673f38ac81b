#include "platform/gif_writer.h"

#include <vector>

#include "platform/gif_encoder.h"
#include "platform/replace_file.h"

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

    if (auto replaced = replace_file_contents(file_name, encoded->bytes); !replaced) {
        return std::unexpected(replaced.error());
    }
    return GifWritten::File;
}

}  // namespace koma
