#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace koma::test {

/// An animated WebP decoded with libwebp's demuxer and animation decoder: `frames[i]` is the
/// canvas (ARGB32) after frame i, `durations_ms[i]` how long it shows.
struct DecodedWebp {
    QString error;  ///< empty when the file decoded
    int width = 0;
    int height = 0;
    int loop_count = -1;
    std::vector<QImage> frames;
    std::vector<int> durations_ms;
    bool animated = false;      ///< the file has the animation flag
    bool all_lossless = false;  ///< every stored frame is in the lossless format
};

DecodedWebp decode_webp(const QByteArray& bytes);
DecodedWebp decode_webp_file(const QString& path);

}  // namespace koma::test
