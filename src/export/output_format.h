#pragma once

#include "model/editing_model.h"

namespace koma {

/// "ＢＭＰ": selects the numbered BMP sequence (gif_mode 0); the "GIF" button takes its place.
/// A format chosen in the settings window (any but BMP and GIF) gives way to BMP.
void output_bmp_Click(EditingModel& model);

/// "GIF": selects one animated GIF (gif_mode -1); the "ＢＭＰ" button takes its place.
/// A format chosen in the settings window (any but BMP and GIF) gives way to GIF.
void output_GIF_Click(EditingModel& model);

/// The name of `format` as the window shows it: "ＢＭＰ", "GIF", "PNG 連番", "APNG", "WebP",
/// "AVIF", "MP4", "WebM", "シート" (the sprite sheet).
QString format_caption(OutputFormat format);

}  // namespace koma
