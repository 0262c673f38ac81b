#pragma once

#include <utility>

#include "model/edit_command.h"
#include "state/load_save.h"

namespace koma {

/// What load_save returns.
using LoadSaveResult = decltype(load_save(std::declval<EditingModel&>()));

/// load_save as the state window runs it, with the history: a read (state_mode 1) is one step
/// (undone, every slot, surface and value is back as it was before the file was read, and so
/// are the state file the project belonged to and whether it was saved); a read of an existing
/// file that succeeds, and a write that succeeds, mark the model clean at `work_path`
/// (EditHistory::mark_saved) and are told on the status line. A read that fails after it
/// changed the model leaves the project belonging to no state file. Without a history it is
/// load_save with the status line told, except that a read still sets the model's state_file.
/// `report` is load_save's. Asks nothing: see ask_before_load.
LoadSaveResult recorded_load_save(EditingModel& model, StateReadReport* report = nullptr);

}  // namespace koma
