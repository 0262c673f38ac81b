#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "model/edit_command.h"

namespace koma {

/// A step's time as typed into the time box: an empty box or 0 gives 0 (the step is shown for the
/// frame time), a whole number of kMinFrameMs to kMaxFrameMs gives that many milliseconds;
/// blanks around it and full-width digits are accepted. Anything else is no time (nothing).
std::optional<int> read_step_time(const QString& text);

/// What the time box shows: in fine adjustment the own time of the step under the edit cursor in
/// decimal, "" while it has none (0) and outside fine adjustment.
QString step_time_text(const EditingModel& model);

/// Text typed into the time box. In fine adjustment, a text read_step_time takes becomes the time
/// of the step under the edit cursor, and a playing preview holds its step for the new time
/// (retime_preview). Any other text, or no fine adjustment, changes nothing.
void step_time_typed(EditingModel& model, const QString& text);

/// The time box was left holding `text`: a text that is no time (see read_step_time) is told on
/// the status line as a failure, so that the user knows why the step kept its time. Nothing
/// otherwise.
void step_time_left(EditingModel& model, const QString& text);

/// Typing into the time box as one step of the history (see step_time_typed): what is typed for
/// one step in one merge session is one step. Undone or redone in fine adjustment, the edit
/// cursor goes back to that step and shows it (show_edited_step).
std::unique_ptr<ModelEditCommand> step_time_edit(EditingModel& model, const QString& text);

}  // namespace koma
