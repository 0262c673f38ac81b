#pragma once

#include <QRect>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <expected>
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

/// Frames as palette indices, all sharing one palette.
struct IndexedFrames {
    int width = 0;
    int height = 0;
    /// At most 256 colours (qRgb values); a lossy palette leaves at least one entry free.
    std::vector<QRgb> palette;
    std::vector<IndexedFrame> frames;
    /// True when every index maps back to exactly its source pixel.
    bool exact = true;
};

/// Maps an animation onto one palette. With at most 256 colours over all frames the palette is
/// those colours in order of first appearance and the mapping is exact. Otherwise
/// libimagequant builds at most 255 colours from what every frame changes and each colour is
/// mapped to its nearest entry, with no dithering: a colour has one index whatever the frame
/// and place, so frames that are equal decode equally and unchanged areas never flicker. Only
/// the patches are read: the work grows with what changes, not with the number of frames times
/// their size.
/// Fails with a message when there are no frames, the size is empty, the first patch does not
/// cover the whole frame, or libimagequant fails. Patch pixels outside the frame are ignored.
std::expected<IndexedFrames, QString> index_frames(const PatchedFrames& frames);

}  // namespace koma
