#pragma once

#include <QByteArray>
#include <QString>
#include <expected>

#include "model/editing_model.h"
#include "state/read_state.h"

namespace koma {

/// The first item of a recovery copy.
inline constexpr char kRecoveryTag[] = "#KOMA-RECOVERY#";

/// A recovery copy taken apart.
struct RecoveredProject {
    /// The state file the project belongs to; empty for a project never saved.
    QString state_file;
    /// The text of a state file, extension record included.
    QByteArray state_bytes;
};

/// The bytes of a recovery copy of `model`, in UTF-8: one record of the tag, the version 1 and
/// the state file the project belongs to (its state_file, "" for none), ending in CR LF, then
/// the state file text as SAVE would write it (state_text). Slot images are files already: the
/// copy holds their paths.
QByteArray recovery_copy_bytes(const EditingModel& model);

/// Takes a recovery copy apart. Fails, with a message, for bytes that do not begin with a
/// recovery record.
std::expected<RecoveredProject, QString> read_recovery_copy(const QByteArray& bytes);

/// Reads a recovery copy into `model` as LOAD reads a state file (relative slot paths belong to
/// the folder of the project's state file), then makes the project belong to that state file
/// with its changes unsaved (EditHistory::mark_unsaved; without a history, the model's
/// state_file is set). Returns what LOAD would report. A copy that cannot be taken apart
/// changes nothing and returns the message; one that is damaged further on keeps what was read
/// (as LOAD does), unsaved and belonging to no state file, and returns the message.
std::expected<StateReadReport, QString> restore_recovery_copy(EditingModel& model,
                                                              const QByteArray& bytes);

}  // namespace koma
