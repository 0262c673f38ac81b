#pragma once

#include <QImage>
#include <QString>

#include "model/editing_model.h"

namespace koma::test {

/// Loads the small scene the export tests share into a started model: a 12 x 3 stage over a
/// black background with yellow stripes; slot 1 the one-row bar `bar` (keyed on its first
/// pixel, "MRRRM" for a red bar on magenta), slot 2 a green block keyed on magenta; a foreground
/// whose only opaque pixel is a blue corner. The frame travels 3 px per step and wraps; exports
/// go to `folder` under the base name "walk".
void load_stripe_scene(EditingModel& model, const QString& folder, const char* bar);

/// The stage ComposeFrame draws for `step`, with the stage's coverage as alpha when `clear`
/// (see stage_with_alpha). The model is left as it was.
QImage composed_step(EditingModel& model, int step, bool clear = false);

}  // namespace koma::test
