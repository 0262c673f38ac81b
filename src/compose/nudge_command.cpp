#include "compose/nudge_command.h"

#include "compose/compose_frame.h"
#include "compose/pattern_cursor.h"

namespace koma {

NudgeCommand::NudgeCommand(EditingModel& model, int index)
    : ModelEditCommand(
          model, QStringLiteral("微調整"), [&model, index] { bt_arrow_click(model, index); },
          kMergeNudge, model.edit_cursor),
      step_(model.edit_cursor) {}

void NudgeCommand::restored(bool undone) {
    (void)undone;
    if (model_.fine_adjust == 0 || step_ < 0 || step_ >= model_.pattern_anime.text().size() ||
        step_ >= kMaxSteps || step_ == model_.edit_cursor) {
        return;
    }
    place_edit_cursor(model_, step_);
    model_.pattern_anime.select(step_, 1);
    model_.pattern_pos = static_cast<int16_t>(step_);
    ComposeFrame(model_, 1);
}

}  // namespace koma
