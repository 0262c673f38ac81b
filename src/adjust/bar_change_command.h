#pragma once

#include "app/model_edit_command.h"

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
class BarChangeCommand : public ModelEditCommand {
  public:
    BarChangeCommand(EditingModel& model, OffsetBar bar, int value);
};

}  // namespace koma
