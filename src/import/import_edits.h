#pragma once

#include <functional>
#include <memory>

#include "model/edit_command.h"

namespace koma {

/// Images loaded into slots (a click in the picker, a drop), with every side effect of the
/// load, as one step. `load` runs the loading handler.
std::unique_ptr<ModelEditCommand> slot_load_edit(EditingModel& model, std::function<void()> load);

/// A change of the main window's export folder (its drive and folder lists), as one step.
/// `change` runs the lists' handler.
std::unique_ptr<ModelEditCommand> export_folder_edit(EditingModel& model,
                                                     std::function<void()> change);

}  // namespace koma
