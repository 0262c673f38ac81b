#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <expected>
#include <span>
#include <vector>

#include "codecs/frame_patch.h"

namespace koma {

/// An animated GIF in memory, and how its colours were chosen.
struct EncodedGif {
    QByteArray bytes;
    /// True when every frame decodes to exactly its source pixels (all frames together had at
    /// most 256 colours); false when the colours were reduced to one shared palette.
    bool exact = true;
    /// Colours of the global palette in use, the transparent entry not counted.
    int colours = 0;
};

/// How long the frames of a GIF are shown, in hundredths of a second: one delay for every
/// frame, or one for each frame.
class GifDelays {
  public:
    /// Every frame shown `each` hundredths.
    GifDelays(int each) : each_(each) {}
    /// Frame i shown `per_frame[i]` hundredths; frames past its end `each`.
    GifDelays(std::vector<int> per_frame, int each)
        : each_(each), per_frame_(std::move(per_frame)) {}

    /// The delay of frame `frame`.
    int of(size_t frame) const { return frame < per_frame_.size() ? per_frame_[frame] : each_; }

  private:
    int each_;
    std::vector<int> per_frame_;
};

/// Encodes equally sized frames as one animated GIF, frame i shown for `delays.of(i)`
/// hundredths of a second, with one image per frame in order, played `plays` times: 0 loops
/// forever, 1 writes no loop extension, more writes plays - 1 repeats. Frames are RGB32, or
/// ARGB32 (other formats are converted to one of them), and a pixel of alpha 0 is clear.
///
/// All frames share one global palette. When all frames together have at most 256 colours the
/// palette holds exactly those colours and nothing is dithered, so every decoded frame equals
/// its source pixel for pixel; otherwise libimagequant builds one palette from all frames and
/// every colour is replaced by its nearest palette colour, the same wherever and whenever it
/// appears, so that equal frames decode equally (see animation_palette). Clear pixels are the
/// transparent entry and stay clear either way.
///
/// Only what changed is stored: every frame after the first is the rectangle in which it
/// differs from the frame before, drawn over that frame; unchanged pixels inside the rectangle
/// are made transparent where that gives the smaller image; a frame identical to the one before
/// is a single transparent pixel. A frame that clears pixels the frame before showed has that
/// frame disposed to the background (see AnimationWriter in gif_encoder.cpp).
///
/// Fails with a message when there are no frames, the frames differ in size, a frame is larger
/// than GIF allows (65535 pixels a side) or the encoder libraries fail.
std::expected<EncodedGif, QString> encode_gif_animation(std::span<const QImage> frames,
                                                        const GifDelays& delays, int plays = 0);

/// The same for frames given as patches over one another (see PatchedFrames): only the patches
/// are read, so the work grows with what changes. A patch may cover more than what changed; the
/// stored rectangles are still only what changed. Fails as above, and when the first patch does
/// not cover the whole frame.
std::expected<EncodedGif, QString> encode_gif_animation(const PatchedFrames& frames,
                                                        const GifDelays& delays, int plays = 0);

/// The same for patches handed over one at a time (see PatchSource); the source is read three
/// or four times and never held whole. With `scale` (1 to kMaxScale) every pixel is written as
/// a scale x scale block: the palette and each pixel's index are chosen on the frames as they
/// are, and only the indices of each frame are enlarged as it is coded, so the colours are
/// those of scale 1 and no enlarged frame is held beyond the one being coded (and, with clear
/// pixels, three index images of the enlarged size). Fails as above, also for a scale out of
/// range or an enlarged frame larger than GIF allows.
std::expected<EncodedGif, QString> encode_gif_animation(const PatchSource& frames,
                                                        const GifDelays& delays, int plays = 0,
                                                        int scale = 1);

}  // namespace koma
