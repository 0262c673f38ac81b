#pragma once

#include <QString>

namespace koma {

/// The video formats an animation can be written as.
enum class VideoCodec {
    H264,  ///< H.264 (libx264) in an MP4 file with its index at the front
    Vp9,   ///< VP9 (libvpx) in a WebM file
};

/// The range of the codec's constant-quality setting (crf): lower is better and larger.
/// H.264 starts at 1: crf 0 makes x264 code losslessly in a profile few players decode.
struct CrfRange {
    int best = 0;
    int worst = 0;
};
CrfRange crf_range(VideoCodec codec);

/// The crf an export uses unless told otherwise: the largest whose own loss, measured against
/// the best picture 4:2:0 can carry, stays at or above 45 dB PSNR on the walk example and the
/// benchmarks' walk scene, so that what is lost is 4:2:0's, not the encoder's.
int default_crf(VideoCodec codec);

/// A quality from 0 (smallest file) to 100 (best) as the codec's crf: 100 is the best crf, 80
/// the default, 0 the worst, linear in between; values outside 0 to 100 are taken as the
/// nearest end.
int crf_for_quality(VideoCodec codec, int quality);

/// The quality crf_for_quality maps to default_crf.
inline constexpr int kDefaultVideoQuality = 80;

/// The file name extension of the codec's container, without the dot ("mp4", "webm").
QString video_file_extension(VideoCodec codec);

}  // namespace koma
