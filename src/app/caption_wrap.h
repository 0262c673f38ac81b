#pragma once

#include <QFontMetrics>
#include <QString>

namespace koma {

/// Breaks a caption into lines that fit `width` pixels in the given font, breaking between any
/// two characters (captions are Japanese and have no spaces). Narrow, tall buttons thus show
/// their caption in a column, as the window system's buttons wrap theirs.
QString wrap_caption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace koma
