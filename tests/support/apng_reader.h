#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace koma::test {

/// An animated PNG taken apart chunk by chunk (CRCs and sequence numbers checked), each frame's
/// data decoded by libpng and played back: `frames[i]` is the canvas (ARGB32, starting fully
/// transparent) after frame i was drawn with its blend and dispose operations.
struct DecodedApng {
    QString error;  ///< empty when the file decoded
    int width = 0;
    int height = 0;
    int colour_type = -1;  ///< of IHDR
    int bit_depth = 0;
    int num_plays = -1;  ///< from acTL
    std::vector<QImage> frames;
    std::vector<double> delays_ms;
    std::vector<QRect> rects;
    std::vector<int> blends;              ///< 0 source, 1 over
    std::vector<int> disposes;            ///< 0 none, 1 background, 2 previous
    bool default_image_is_frame = false;  ///< an fcTL came before the IDAT
};

DecodedApng decode_apng(const QByteArray& bytes);
DecodedApng decode_apng_file(const QString& path);

}  // namespace koma::test
