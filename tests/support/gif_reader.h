#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace koma::test {

/// An animated GIF decoded with giflib's DGifSlurp and played back: `frames[i]` is the canvas
/// after image i has been drawn (transparency and disposal applied).
struct DecodedGif {
    QString error;  ///< empty when the file decoded
    int width = 0;
    int height = 0;
    std::vector<QImage> frames;
    /// The same canvases with alpha (ARGB32): starting clear and cleared by disposal to the
    /// background, so that transparency shows as alpha 0.
    std::vector<QImage> clear_frames;
    std::vector<int> delays;   ///< hundredths of a second, per image
    std::vector<QRect> rects;  ///< where each image was stored
    std::vector<bool> uses_transparency;
    int loop_count = -1;     ///< from NETSCAPE2.0; -1 when absent, 0 means forever
    int global_colours = 0;  ///< entries of the global colour map, 0 when there is none
    bool any_local_colours = false;
};

DecodedGif decode_gif(const QString& path);

}  // namespace koma::test
