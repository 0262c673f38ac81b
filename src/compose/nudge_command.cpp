#include "compose/nudge_command.h"

#include <QCoreApplication>

#include "compose/pattern_cursor.h"

namespace koma {

NudgeCommand::NudgeCommand(EditingModel& model, int index)
    : ModelEditCommand(
          model, QCoreApplication::translate("EditNames", "微調整"),
          [&model, index] { bt_arrow_click(model, index); }, kMergeNudge, model.edit_cursor),
      step_(model.edit_cursor) {}

void NudgeCommand::restored(bool undone) {
    (void)undone;
    show_edited_step(model_, step_);
}

}  // namespace koma
