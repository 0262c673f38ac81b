#include "import/export_folder_command.h"

namespace koma {

ExportFolderCommand::ExportFolderCommand(EditingModel& model, std::function<void()> change)
    : ModelEditCommand(model, QStringLiteral("保存先の変更"), std::move(change)) {}

}  // namespace koma
