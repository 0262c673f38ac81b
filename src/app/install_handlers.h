#pragma once

#include "app/editing_model.h"

namespace koma {

/// Connects the change handlers of the main window's controls to the subsystems that own them.
void install_handlers(EditingModel& model);

}  // namespace koma
