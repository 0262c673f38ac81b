#pragma once

#include <QImage>

namespace koma::test {

/// Step `step` of a walk across the example's 462 x 110 background: the figure of the example
/// in pose step % 8, 5 px further right each step, wrapping at the right edge, keyed on its
/// magenta. RGB32 pixel art with sharp colour edges, as the program composes it.
QImage walk_stage(int step);

}  // namespace koma::test
