#include "codecs/gif/dib_to_gif.h"

#include <algorithm>
#include <vector>

#include "codecs/gif/dib_capture.h"
#include "codecs/gif/gif_encoder.h"
#include "platform/replace_file.h"

namespace koma {

int gif_delay_cs(int frame_ms) {
    int cs = frame_ms / 10;
    const int rest = frame_ms % 10;
    if (rest > 5 || (rest == 5 && cs % 2 == 1)) ++cs;
    return std::max(cs, 1);
}

std::expected<GifWritten, QString> DIBtoGIFAniEx(const QString& file_name, const GifFrame* frames,
                                                 int count, const GifOptions* options,
                                                 const AnimationTiming& timing, StagedFiles* staged,
                                                 std::span<const int> durations_ms, int scale) {
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
    auto source = dib_source(handles);
    if (!source) {
        return failure(source.error());
    }
    const auto delay = [](int ms) { return std::max(gif_delay_cs(ms), kMinGifDelay); };
    std::vector<int> delays;
    for (size_t i = 0; i < durations_ms.size() && i < handles.size(); ++i) {
        delays.push_back(delay(durations_ms[i] != 0 ? durations_ms[i] : timing.frame_ms));
    }
    auto encoded = encode_gif_animation(
        **source, GifDelays(std::move(delays), delay(timing.frame_ms)), timing.loop_count, scale);
    if (!encoded) {
        return failure(encoded.error());
    }

    const auto replaced = staged != nullptr ? staged->write(file_name, encoded->bytes)
                                            : replace_file_contents(file_name, encoded->bytes);
    if (!replaced) {
        return std::unexpected(replaced.error());
    }
    return GifWritten::File;
}

}  // namespace koma
