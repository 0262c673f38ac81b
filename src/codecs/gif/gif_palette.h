#pragma once

#include <QRect>
#include <QRgb>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <expected>
#include <functional>
#include <vector>

#include "codecs/frame_patch.h"

namespace koma {

/// One frame as palette indices: only the rectangle in which its indices differ from the frame
/// before.
struct IndexedFrame {
    /// The bounding rectangle of the indices that differ from the frame before (empty when
    /// none do); the whole frame for the first.
    QRect rect;
    /// rect.width() x rect.height() indices, rows without padding.
    std::vector<uint8_t> indices;
    /// One flag per index: non-zero where the frame before has the same index (never for the
    /// first frame).
    std::vector<uint8_t> unchanged;
};

/// The bounding box of marked pixels, grown one pixel at a time.
struct PixelBounds {
    int left = INT32_MAX, top = INT32_MAX, right = -1, bottom = -1;
    void add(int x, int y) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    QRect rect() const {
        return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    }
};

/// Frames as palette indices, all sharing one palette.
struct IndexedFrames {
    int width = 0;
    int height = 0;
    /// At most 256 colours (qRgb values, and 0 for clear pixels); a lossy palette leaves at
    /// least one entry free.
    std::vector<QRgb> palette;
    std::vector<IndexedFrame> frames;
    /// True when every index maps back to exactly its source pixel.
    bool exact = true;
};

/// The one palette of an animation.
struct AnimationPalette {
    /// At most 256 entries: opaque colours (qRgb values) and, when some pixel is clear, one
    /// entry 0 standing for clear pixels. A lossy palette leaves at least one entry free.
    std::vector<QRgb> colours;
    /// True when every pixel has its own colour's entry.
    bool exact = true;
    /// The entry of clear pixels, or -1 when no pixel is clear.
    int clear = -1;
    /// How often each entry appears in what the frames after the first store, counted while
    /// the colours were read when the source's patches are exactly what changed and the palette
    /// is exact; empty otherwise (each_indexed_frame tells it then).
    std::vector<uint64_t> uses;
};

/// Chooses one palette for an animation. Its frames are RGB32, or ARGB32 whose pixels of alpha
/// 0 are clear: all clear pixels share one entry, whatever their colour bits. With at most 256
/// colours over all frames the palette is those colours in order of first appearance and the
/// mapping is exact. Otherwise libimagequant builds at most 255 colours (clear pixels left out)
/// from what every frame changes and each colour is mapped to its nearest entry, with no
/// dithering: a colour has one index whatever the frame and place, so frames that are equal
/// decode equally and unchanged areas never flicker; clear pixels stay clear and no opaque
/// pixel becomes clear. Reads the patches once, and once more when there are more than 256
/// colours: the work grows with what changes, not with the number of frames times their size.
/// Fails with a message when there are no frames, the size is empty, the first patch does not
/// cover the whole frame, or libimagequant fails. Patch pixels outside the frame are ignored.
std::expected<AnimationPalette, QString> animation_palette(const PatchSource& source);

/// Reads the patches once more and hands every frame, in order, to `take` as indices on
/// `palette` (see IndexedFrame): only the rectangle in which its indices differ from the frame
/// before. Holds one index image of the frame's size, never the frames. Fails with the first
/// failure of `take` or of the source.
std::expected<void, QString> each_indexed_frame(
    const PatchSource& source, const AnimationPalette& palette,
    const std::function<std::expected<void, QString>(const IndexedFrame&)>& take);

/// Maps an animation onto one palette (animation_palette) and returns every frame's indices
/// (each_indexed_frame) at once.
std::expected<IndexedFrames, QString> index_frames(const PatchedFrames& frames);

}  // namespace koma
