#include "platform/gif_writer.h"

#include <vector>

#include "platform/dib.h"
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

    std::vector<DibHandle> handles(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        handles[static_cast<size_t>(i)] = frames[i].dib;
    }
    auto patched = dib_frames(handles);
    if (!patched) {
        return failure(patched.error());
    }
    auto encoded = encode_gif_animation(*patched, kGifFrameDelay);
    if (!encoded) {
        return failure(encoded.error());
    }

    if (auto replaced = replace_file_contents(file_name, encoded->bytes); !replaced) {
        return std::unexpected(replaced.error());
    }
    return GifWritten::File;
}

}  // namespace koma
