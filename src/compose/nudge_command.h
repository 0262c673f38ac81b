#pragma once

#include "model/edit_command.h"

namespace koma {

/// A click on an arrow button (`index` 0..3 = up, down, left, right; see bt_arrow_click): in
/// fine adjustment the step under the edit cursor moves by one pixel. Consecutive nudges of the
/// same step are one step of the history. Undone or redone in fine adjustment, the edit cursor
/// goes back to the nudged step and that step is shown.
class NudgeCommand : public ModelEditCommand {
  public:
    NudgeCommand(EditingModel& model, int index);

  protected:
    void restored(bool undone) override;

  private:
    int step_;
};

}  // namespace koma
