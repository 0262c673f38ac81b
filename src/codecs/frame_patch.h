#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <vector>

namespace koma {

/// One frame of an animation as what it paints over the frame before it: `pixels` (RGB32)
/// placed with their top-left corner at `at`; every pixel outside them stays as it was. A null
/// `pixels` paints nothing: the frame repeats the one before.
struct FramePatch {
    QPoint at;
    QImage pixels;
};

/// An animation of equally sized frames as patches, one per frame, in order. The first patch
/// covers the whole frame; a later one may cover more than what really changed.
struct PatchedFrames {
    QSize size;
    std::vector<FramePatch> patches;
};

}  // namespace koma
