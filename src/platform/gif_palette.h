#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <expected>
#include <span>
#include <vector>

namespace koma {

/// Frames as palette indices, one byte per pixel, all sharing one palette.
struct IndexedFrames {
    int width = 0;
    int height = 0;
    /// At most 256 colours (qRgb values); a lossy palette leaves at least one entry free.
    std::vector<QRgb> palette;
    /// One width x height index image per frame, rows without padding.
    std::vector<std::vector<uint8_t>> frames;
    /// Per frame, the bounding rectangle of the indices that differ from the frame before
    /// (empty when none do); the whole frame for the first.
    std::vector<QRect> changes;
    /// True when every index maps back to exactly its source pixel.
    bool exact = true;
};

/// Maps equally sized frames onto one palette. With at most 256 colours over all frames the
/// palette is those colours in order of first appearance and the mapping is exact. Otherwise
/// libimagequant builds at most 255 colours from all frames together (weighted by what each
/// frame changes), each frame is remapped with dithering, and a pixel whose colour is the same
/// as in the frame before keeps that frame's index, so unchanged areas never flicker.
/// Fails with a message when there are no frames, they differ in size, or libimagequant fails.
std::expected<IndexedFrames, QString> index_frames(std::span<const QImage> frames);

}  // namespace koma
