#pragma once

#include <QString>
#include <expected>

#include "model/editing_model.h"

namespace koma {

/// What to do with a LOAD that would replace unsaved changes.
enum class BeforeLoad {
    Read,       ///< read the file (nothing unsaved, the changes were saved, or dropped)
    Cancelled,  ///< read nothing: the user keeps the changes
    SaveFirst,  ///< read nothing yet: the project has no state file to save to, so the caller
                ///< asks for a name as SAVE does and reads the file once that save is made
};

/// The question before a LOAD of the state file at `path` replaces the project. Only when the
/// model's history has unsaved changes, a file exists at `path` and the history has a question
/// (EditHistory::ask_before_replacing) is it asked; otherwise the answer is Read. Save writes the
/// project to its state file first, as Ctrl+S does (quick_save), then reads; with no state file
/// yet it is SaveFirst and nothing is written. Discard reads; Cancel changes nothing. A save
/// that fails returns its message, and nothing is to be read.
std::expected<BeforeLoad, QString> ask_before_load(EditingModel& model, const QString& path);

}  // namespace koma
