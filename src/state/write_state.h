#pragma once

#include <QString>
#include <expected>

#include "model/editing_model.h"

namespace koma {

/// The text of a state file for the model as it is now: the eleven slot paths, one record of
/// the three bar values, the pattern, the export drive and folder, the base name and path_ref,
/// one record of deltas per step of the pattern, the four background values, and last the
/// extension record (see extension_record.h). Every record ends in CR LF.
QString state_text(const EditingModel& model);

/// Writes state_text(model) to `path` in UTF-8, replacing the file only once the new one is
/// complete. On failure the old file is intact and the message says what failed.
std::expected<void, QString> write_state(const EditingModel& model, const QString& path);

/// Tells the status line that the state was saved to `path`: "保存しました: NAME".
void report_saved(EditingModel& model, const QString& path);

}  // namespace koma
