#pragma once

#include "model/editing_model.h"

namespace koma {

/// Connects the change handlers of the main window's controls to the subsystems that own them,
/// and the redraw that follows an undo or a redo.
void install_handlers(EditingModel& model);

}  // namespace koma
