#pragma once

#include <QString>
#include <expected>

#include "model/editing_model.h"

namespace koma {

/// What quick_save did.
enum class QuickSave {
    Written,    ///< the state file last read or written was replaced; the model is clean
    NeedsName,  ///< no state file has been read or written yet; nothing was written
    Kept,       ///< the file changed on disk and the user chose to keep it; nothing was written
};

/// Ctrl+S: writes the model to the state file last read or written (the history's
/// saved_path), replacing it atomically as SAVE does, marks the model clean and tells the status
/// line. Without a history, or with no such file yet, writes nothing and says so; the caller
/// then opens the state window as SAVE does. When another program changed that file since it
/// was read or written here (EditHistory::changed_on_disk), the history's question
/// (ask_before_overwriting) is asked first, and a no keeps the file (Kept). A failed write
/// leaves the old file intact and returns its message.
std::expected<QuickSave, QString> quick_save(EditingModel& model);

}  // namespace koma
