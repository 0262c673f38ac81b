#pragma once

#include "app/editing_model.h"

namespace koma {

/// "ＢＭＰ": selects the numbered BMP sequence (gif_mode 0); the "GIF" button takes its place.
void output_bmp_Click(EditingModel& model);

/// "GIF": selects one animated GIF (gif_mode -1); the "ＢＭＰ" button takes its place.
void output_GIF_Click(EditingModel& model);

/// The format "コマ作成" writes: export_settings.extra_format when it is PNG, APNG or WebP, else
/// what gif_mode chooses (0 BMP, any other value GIF).
OutputFormat format_in_force(const EditingModel& model);

}  // namespace koma
