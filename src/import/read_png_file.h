#pragma once

#include <QString>

#include "platform/surface.h"

namespace koma {

/// Loads the PNG file `pngf` into the slot surface `tPicCntrl`: checks the 8-byte signature,
/// reads the width and height from the low halves of the header fields (offsets 18 and 22),
/// sizes the surface to them, then has the decoder paint the image 1:1 at the top-left corner.
/// Returns true only when the decoder succeeded. On a signature mismatch or an unreadable file
/// the surface is left untouched and false is returned.
bool ReadPNGFile(Surface& tPicCntrl, const QString& pngf);

}  // namespace koma
