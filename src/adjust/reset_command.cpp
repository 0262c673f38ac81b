#include "adjust/reset_command.h"

#include "adjust/fine_adjust.h"

namespace koma {

ResetCommand::ResetCommand(EditingModel& model)
    : ModelEditCommand(model, QStringLiteral("リセット"), [&model] { bt_reset_click(model); }) {}

}  // namespace koma
