#pragma once

#include "model/editing_model.h"

class QLineEdit;

namespace koma {

/// Gives the pattern box its font and geometry so that the pointer arrow stands over the
/// character it marks: IPAGothic at 16 px (fixed pitch, digits 8 px wide), text starting 2 px
/// inside the box, and a selection drawn in the same colours whether or not the box or its
/// window has the focus.
void style_pattern_box(QLineEdit* box);

/// Keeps the box's selection and the model's in step. In fine adjustment the selection belongs
/// to the edit cursor: a change made in the box (a click, losing the focus) is undone. Otherwise
/// the user's selection is copied into the model, so that refreshing the box keeps it.
void bind_pattern_selection(QLineEdit* box, EditingModel& model);

}  // namespace koma
