#pragma once

#include <memory>

#include "model/edit_command.h"

namespace koma {

/// The main window's scroll bars.
enum class OffsetBar {
    Travel,  ///< sc_bar
    BaseX,   ///< adjust_x
    BaseY,   ///< adjust_y
};

/// The model's scroll bar for `bar`.
ScrollBar& offset_bar(EditingModel& model, OffsetBar bar);

/// A scroll bar moved by the user: the bar takes `value`, running its change handler. The
/// moves of one drag (one merge session) are one step.
std::unique_ptr<ModelEditCommand> bar_edit(EditingModel& model, OffsetBar bar, int value);

/// "リセット" (bt_reset_click): the base offset back to 0, 0, as one step.
std::unique_ptr<ModelEditCommand> reset_edit(EditingModel& model);

/// What the background settings window changed while it was open ("Ｏｋ", the colour it picked,
/// the option chosen), recorded as one step when it closes. `before` is the model as it was
/// when the window opened.
std::unique_ptr<ModelEditCommand> background_edit(EditingModel& model, ProjectSnapshot before);

}  // namespace koma
