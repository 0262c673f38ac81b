#pragma once

#include <functional>

#include "app/model_edit_command.h"

namespace koma {

/// Images loaded into slots (a click in the picker, a drop), with every side effect of the
/// load, as one step. `load` runs the loading handler.
class SlotLoadCommand : public ModelEditCommand {
  public:
    SlotLoadCommand(EditingModel& model, std::function<void()> load);
};

}  // namespace koma
