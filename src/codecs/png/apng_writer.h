#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <expected>
#include <memory>
#include <span>

#include "codecs/frame_writer.h"

namespace koma {

/// Encodes equally sized frames (RGB32, or ARGB32 with alpha 0 or 255 as stage_with_alpha makes
/// them) as one animated PNG that decodes to exactly those pixels, one frame per image, frame i
/// shown `durations_ms[i]` ms (where that is missing or 0: `timing.frame_ms`), played
/// `timing.loop_count` times (0: forever).
///
/// All frames share one layout: a palette when they have at most 256 colours together (with a
/// clear entry for blending when there is room), else RGBA when some pixel is clear, else RGB
/// with one colour no frame uses marked clear for blending. The first frame is the
/// default image; every later one stores only the rectangle in which it differs from what the
/// frame before leaves on the canvas: that frame itself, that frame with its rectangle cleared,
/// or the canvas that frame was drawn on (its dispose operation none, background or previous),
/// either as it is or blended over with its unchanged pixels made clear, whichever codes
/// smallest; a frame equal to what is left stores one unchanged pixel. Fails with a message when
/// there are no frames, their sizes differ or the PNG coder fails.
std::expected<QByteArray, QString> encode_apng(std::span<const QImage> frames,
                                               const AnimationTiming& timing,
                                               std::span<const int> durations_ms = {});

/// A writer of one animated PNG at `path` (see encode_apng), each frame shown for the duration
/// it was added with; the file is written by finish(),
/// replacing an earlier one only once the whole animation is coded.
std::unique_ptr<FrameWriter> make_apng_writer(const QString& path, const AnimationTiming& timing);

}  // namespace koma
