#pragma once

#include "model/editing_model.h"

namespace koma {

/// Draws the adjust view when adjust_mode is set, else does nothing: the background slot is
/// copied unscaled onto the stage at (0, 0) (the stage is not cleared first), then the image of
/// slot 1 is drawn at the base offset (adjust_x, adjust_y), keyed on its top-left pixel and
/// clipped to the stage, without travel, deltas, wrap or foreground. Ends with the zoom mirror
/// when zoom_open is exactly 1.
void adjust_view(EditingModel& model);

}  // namespace koma
