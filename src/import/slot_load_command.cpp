#include "import/slot_load_command.h"

namespace koma {

SlotLoadCommand::SlotLoadCommand(EditingModel& model, std::function<void()> load)
    : ModelEditCommand(model, QStringLiteral("画像の読み込み"), std::move(load)) {}

}  // namespace koma
