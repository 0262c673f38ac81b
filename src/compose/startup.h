#pragma once

#include "model/editing_model.h"

namespace koma {

/// The main window's start-up steps, in their order: mode flags, edit cursor, travel, the
/// background settings, path_ref and the export lists at the model's start folder (the
/// program's folder unless it was set otherwise), gif_mode and the pointer arrow. Handlers are
/// installed first, so the steps run them as the user's changes do.
void Form1_Load(EditingModel& model);

/// Draws the red downward arrow into the 8 x 8 pointer surface: rows 2i and 2i + 1 cover
/// columns i to 6 - i, for i = 0 to 3, on the face colour.
void draw_pointer_arrow(Surface& pointer);

}  // namespace koma
