#pragma once

#include <QString>

namespace koma {

/// Whether the picture file at `path` looks written to its end, for a file that may still be
/// being written: a JPEG file must end with its end-of-image marker (zero bytes after it
/// allowed), a BMP file must be as long as its header says (when the header says), a PNG
/// file is always taken (its decoder reads it to the end and fails on a cut one), and so are
/// other formats. Reads the head and the tail of the file only. A file that cannot be opened
/// does not look whole.
bool picture_file_looks_whole(const QString& path);

}  // namespace koma
