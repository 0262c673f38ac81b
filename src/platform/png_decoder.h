#pragma once

#include <QString>

#include "platform/surface.h"

namespace koma {

/// Decodes the PNG file at `path` and paints it 1:1 at the top-left corner of `target`,
/// clipped to the surface. Returns 0 on success, non-zero when the file cannot be read or
/// decoded (the surface is then unchanged).
int decode_png_into(const QString& path, Surface& target);

}  // namespace koma
