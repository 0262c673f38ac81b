#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <expected>
#include <memory>
#include <span>

#include "codecs/frame_patch.h"
#include "raster/surface.h"

namespace koma {

/// A 32-bit handle of a captured bitmap; 0 is never a valid handle.
using DibHandle = uint32_t;

/// Captures a rectangle of a surface as a new device-independent bitmap and returns its handle.
/// The rectangle starts at (x, y) and is `width_px` x nearest(`height_twips` / 15) pixels,
/// clipped to the surface; the export passes 0, 0, the stage's pixel width and its height in
/// twips, which captures exactly the whole stage. Returns 0 when nothing could be captured (an
/// empty rectangle or surface). Every non-zero handle must be released with DeleteDIB.
///
/// A capture of the same size as the one before it in the same thread, while that one is still
/// held, keeps only the rectangle in which the two differ, so that an animation captured step by
/// step costs little more than what moves in it; dib_frames hands the captures on in that form.
/// Like a device-independent bitmap of 8 bits, a run of such captures keeps one colour table and
/// a byte per pixel while its colours fit 256 entries, and the pixels themselves after that.
DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips);

/// The same, with the pixels where `coverage` (QImage::Format_Grayscale8 of the surface's size)
/// is 0 captured clear: the bitmap is then ARGB32, every pixel opaque with the surface's colour
/// or 0 (clear). A null `coverage` captures as above.
DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips,
                  const QImage& coverage);

/// Frees the bitmap of `handle`. Unknown handles, 0 included, are ignored. Releasing a bitmap
/// never changes what another handle holds.
void DeleteDIB(DibHandle handle);

/// The whole bitmap of `handle` (RGB32, or ARGB32 when captured with a coverage), or a null
/// image when the handle is unknown.
QImage dib_image(DibHandle handle);

/// The bitmaps of `handles`, in that order, as patches over one another: the first patch is the
/// whole first bitmap, every later one covers at least where its bitmap differs from the bitmap
/// before it in the list (for captures taken one after the other, exactly the rectangle that
/// changed). Fails with a message naming the position of an unknown handle, or when the
/// bitmaps differ in size. `handles` must not be empty.
std::expected<PatchedFrames, QString> dib_frames(std::span<const DibHandle> handles);

/// The same bitmaps as patches handed over one at a time (see PatchSource), so that only one
/// is ever whole: the source holds the captures, which stay as they are however the handles
/// are released. Fails as dib_frames does.
std::expected<std::unique_ptr<PatchSource>, QString> dib_source(std::span<const DibHandle> handles);

/// How many bitmaps are held at the moment (for checking that every capture is released).
int dib_count();

}  // namespace koma
