#pragma once

#include "app/model_edit_command.h"

namespace koma {

/// "リセット" (bt_reset_click): the base offset back to 0, 0, as one step.
class ResetCommand : public ModelEditCommand {
  public:
    explicit ResetCommand(EditingModel& model);
};

}  // namespace koma
