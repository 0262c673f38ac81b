#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "model/edit_command.h"

namespace koma {

/// The main window's text boxes whose typing is an edit of the project.
enum class TypedBox {
    Pattern,   ///< pattern_anime
    Travel,    ///< size_move
    BaseName,  ///< basename
};

/// The model's text box for `box`.
TextBox& typed_box(EditingModel& model, TypedBox box);

/// Text typed into one of the main window's text boxes: the box takes `text`, running its
/// change handler as typing does. Consecutive typing in the same box, within one merge session,
/// is one step.
std::unique_ptr<ModelEditCommand> typing_edit(EditingModel& model, TypedBox box,
                                              const QString& text);

/// A change of one of those boxes made by `handler` (for example what a box shows once it is
/// left), merging with the typing before it as typing does.
std::unique_ptr<ModelEditCommand> typing_edit(EditingModel& model, TypedBox box,
                                              std::function<void()> handler);

}  // namespace koma
