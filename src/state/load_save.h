#pragma once

#include <QString>
#include <expected>

#include "model/editing_model.h"
#include "state/read_state.h"

namespace koma {

/// Reads or writes the state file named by `model.work_path`, as `model.state_mode` says:
/// 1 reads it (see read_state), 2 writes it (see write_state), anything else does nothing.
/// A missing file on reading is success with no change. A damaged file is read as far as its
/// first bad item and the message names that line; a failed write leaves the old file intact.
/// After a successful read, `report` (when given) tells what the read could not take over (see
/// StateReadReport). The model's views are not notified; the caller does that.
std::expected<void, QString> load_save(EditingModel& model, StateReadReport* report = nullptr);

}  // namespace koma
