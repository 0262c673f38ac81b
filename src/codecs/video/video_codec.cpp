#include "codecs/video/video_codec.h"

#include <algorithm>

namespace koma {

namespace {

// Measured with koma_outputs_bench (see bench/README.md).
constexpr int kDefaultH264Crf = 20;
constexpr int kDefaultVp9Crf = 30;

}  // namespace

CrfRange crf_range(VideoCodec codec) {
    return codec == VideoCodec::H264 ? CrfRange{1, 51} : CrfRange{0, 63};
}

int default_crf(VideoCodec codec) {
    return codec == VideoCodec::H264 ? kDefaultH264Crf : kDefaultVp9Crf;
}

int crf_for_quality(VideoCodec codec, int quality) {
    const CrfRange range = crf_range(codec);
    const int fallback = default_crf(codec);
    const int q = std::clamp(quality, 0, 100);
    // Two straight pieces meeting at the default, rounded to the nearest crf.
    if (q >= kDefaultVideoQuality) {
        const int span = 100 - kDefaultVideoQuality;
        return fallback - ((fallback - range.best) * (q - kDefaultVideoQuality) + span / 2) / span;
    }
    return range.worst -
           ((range.worst - fallback) * q + kDefaultVideoQuality / 2) / kDefaultVideoQuality;
}

QString video_file_extension(VideoCodec codec) {
    return codec == VideoCodec::H264 ? QStringLiteral("mp4") : QStringLiteral("webm");
}

}  // namespace koma
