#pragma once

#include <QImage>
#include <cstdint>

#include "platform/surface.h"

namespace koma {

/// A 32-bit handle of a captured bitmap; 0 is never a valid handle.
using DibHandle = uint32_t;

/// Captures a rectangle of a surface as a new device-independent bitmap and returns its handle.
/// The rectangle starts at (x, y) and is `width_px` x nearest(`height_twips` / 15) pixels,
/// clipped to the surface; the export passes 0, 0, the stage's pixel width and its height in
/// twips, which captures exactly the whole stage. Returns 0 when nothing could be captured (an
/// empty rectangle or surface). Every non-zero handle must be released with DeleteDIB.
DibHandle DCtoDIB(const Surface& dc, int x, int y, int width_px, int height_twips);

/// Frees the bitmap of `handle`. Unknown handles, 0 included, are ignored.
void DeleteDIB(DibHandle handle);

/// The bitmap of `handle` (RGB32), or a null image when the handle is unknown. The image shares
/// its pixels with the bitmap until either is changed.
QImage dib_image(DibHandle handle);

/// How many bitmaps are held at the moment (for checking that every capture is released).
int dib_count();

}  // namespace koma
