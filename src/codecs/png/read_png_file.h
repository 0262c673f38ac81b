#pragma once

#include <QString>

#include "raster/surface.h"

namespace koma {

/// Loads the PNG file `pngf` into the slot surface `tPicCntrl`: checks the 8-byte signature,
/// reads the width and height from the low halves of the header fields (offsets 18 and 22),
/// sizes the surface to them, then has the decoder paint the image 1:1 at the top-left corner.
/// Whatever was drawn before stays where the new image does not cover it.
///
/// Returns true only when the decoder succeeded. On a signature mismatch, an unreadable file,
/// a size beyond image_size_allowed or a failed decode the surface is left exactly as it was
/// and false is returned.
bool ReadPNGFile(Surface& tPicCntrl, const QString& pngf);

/// As above; on failure `message` says why, in the user's words.
bool ReadPNGFile(Surface& tPicCntrl, const QString& pngf, QString& message);

}  // namespace koma
