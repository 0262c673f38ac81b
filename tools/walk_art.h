#pragma once

#include <QImage>

namespace koma::art {

/// The pictures of the walk scene that the example project and the benchmarks share: a
/// 462 x 110 stage, a small figure walking on a magenta key colour and a foreground on a cyan key
/// colour. Pixel art: no antialiasing, so the key colours stay exact.

/// A banded sky with a sun and clouds, green hills and brown ground, 462 x 110.
QImage walk_background();

/// Pose `pose` (0 to `poses` - 1) of a walk cycle of `poses` poses: the legs and arms swing with
/// the phase. 32 x 44 on the magenta key.
QImage walk_figure(int pose, int poses);

/// Grass tufts along the bottom and a signpost the walker passes behind, 462 x 110 on the cyan
/// key.
QImage walk_foreground();

}  // namespace koma::art
