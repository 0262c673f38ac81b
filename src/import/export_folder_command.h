#pragma once

#include <functional>

#include "app/model_edit_command.h"

namespace koma {

/// A change of the main window's export folder (its drive and folder lists), as one step.
/// `change` runs the lists' handler.
class ExportFolderCommand : public ModelEditCommand {
  public:
    ExportFolderCommand(EditingModel& model, std::function<void()> change);
};

}  // namespace koma
