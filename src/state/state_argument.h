#pragma once

#include <QString>
#include <QStringList>
#include <expected>

#include "model/editing_model.h"
#include "state/read_state.h"

namespace koma {

/// Whether the command line (program name first) names exactly one state file: one argument
/// ending in ".pst" in any letter case.
bool names_state_file(const QStringList& arguments);

/// Opening the program with a state file, as a file manager does: when names_state_file holds,
/// reads that file as LOAD would (work_path made absolute, state_mode 1, load_save) and returns
/// its result. Any other command line leaves the model alone and succeeds.
std::expected<StateReadReport, QString> load_state_argument(EditingModel& model,
                                                            const QStringList& arguments);

}  // namespace koma
