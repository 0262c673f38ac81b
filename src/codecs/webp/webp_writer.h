#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <expected>
#include <memory>
#include <span>

#include "codecs/frame_writer.h"

namespace koma {

/// Encodes equally sized frames (RGB32, or ARGB32 as stage_with_alpha makes them) as one
/// lossless animated WebP through libwebp's animation encoder, with every pixel kept exactly
/// (colours under clear pixels too): one frame per image, each shown `timing.frame_ms` ms,
/// played `timing.loop_count` times (0: forever). Fails with a message when there are no
/// frames, their sizes differ or the encoder fails.
std::expected<QByteArray, QString> encode_webp(std::span<const QImage> frames,
                                               const AnimationTiming& timing);

/// A writer of one animated WebP at `path` (see encode_webp), each frame shown for the duration
/// it was added with. Each frame goes into the encoder as it comes; the file is written by
/// finish(), replacing an earlier one only then.
std::unique_ptr<FrameWriter> make_webp_writer(const QString& path, const AnimationTiming& timing);

}  // namespace koma
