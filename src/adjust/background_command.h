#pragma once

#include "app/model_edit_command.h"

namespace koma {

/// What the background settings window changed while it was open ("Ｏｋ", the colour it picked,
/// the option chosen), recorded as one step when it closes. `before` is the model as it was
/// when the window opened.
class BackgroundCommand : public ModelEditCommand {
  public:
    BackgroundCommand(EditingModel& model, EditSnapshot before);
};

}  // namespace koma
