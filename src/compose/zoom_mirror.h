#pragma once

#include "model/editing_model.h"

namespace koma {

/// Copies the whole stage, enlarged four times (nearest neighbour), into the zoom surface at its
/// top-left corner, clipped to the surface, then asks the zoom window to repaint. The caller
/// checks zoom_open.
void zoom_mirror(EditingModel& model);

}  // namespace koma
