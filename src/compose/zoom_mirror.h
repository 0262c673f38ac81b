#pragma once

#include <QSize>

#include "model/editing_model.h"

namespace koma {

/// Copies the whole stage, enlarged four times (nearest neighbour), into the zoom surface at its
/// top-left corner, clipped to the surface, then asks the zoom window to repaint. The caller
/// checks zoom_open.
void zoom_mirror(EditingModel& model);

/// The size of the enlarged stage that zoom_mirror draws (nearest of twips x 4 / 15 each way),
/// so that what a view lays over it fits the same pixels.
QSize zoom_picture_size(const EditingModel& model);

}  // namespace koma
