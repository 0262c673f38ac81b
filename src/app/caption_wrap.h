#pragma once

#include <QFontMetrics>
#include <QString>

namespace koma {

/// Breaks a caption into lines that fit `width` pixels in the given font. A line breaks after
/// its last space when it has one (an English caption keeps its words whole), else between any
/// two characters (a Japanese caption). Narrow, tall buttons thus show their caption in a
/// column, as the window system's buttons wrap theirs. A word wider than `width` is broken.
QString wrap_caption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace koma
