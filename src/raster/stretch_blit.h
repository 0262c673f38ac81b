#pragma once

#include <QImage>

namespace koma {

/// Scaled plain copy, nearest neighbour: the src_width x src_height rectangle at the top-left
/// corner of `src` is drawn into the dest_width x dest_height rectangle at the top-left corner
/// of `dest`. Destination pixels outside `dest` are left out; source pixels outside `src` are
/// not read (their destination pixels are left unchanged). Both images QImage::Format_RGB32.
void StretchBlit(QImage& dest, int dest_width, int dest_height, const QImage& src, int src_width,
                 int src_height);

}  // namespace koma
