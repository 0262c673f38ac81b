#pragma once

#include <QString>
#include <memory>

#include "codecs/frame_writer.h"

namespace koma {

/// A writer of one animated GIF at `path` through the GIF writer's records: every step is
/// captured with DCtoDIB into a frame entry holding 4096, 2 and 10, and finish() hands all of
/// them to DIBtoGIFAniEx with an options record holding 1024, `timing` and the duration each
/// frame was added with, also when there are none (which writes nothing). At most 180 frames
/// (91 steps there and back). Every capture is released with DeleteDIB, in entry order, when
/// the writer goes, whichever way the export ended. A stage given with a coverage is captured
/// with it, and its uncovered pixels are written clear. With `scale` the stages are captured as
/// they are and the GIF shows each pixel as a scale x scale block (see encode_gif_animation).
std::unique_ptr<FrameWriter> make_gif_writer(const QString& path, const AnimationTiming& timing,
                                             int scale = 1);

}  // namespace koma
