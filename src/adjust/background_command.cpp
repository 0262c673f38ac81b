#include "adjust/background_command.h"

namespace koma {

BackgroundCommand::BackgroundCommand(EditingModel& model, EditSnapshot before)
    : ModelEditCommand(model, QStringLiteral("背景の設定"), std::move(before)) {}

}  // namespace koma
