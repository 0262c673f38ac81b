#pragma once

#include <QString>

#include "app/editing_model.h"

namespace koma {

/// Loads the file at `path` into slot `slot` (0 to 10), as the picker's file click does:
/// through ReadPNGFile when `png_route`, else through the platform's picture loader, whose
/// picture the slot surface then takes with its size. `slot_files(slot)` := `path` whatever
/// happened. For slot 0, `bg_from_file` := -1 and the stage and offset ranges are fitted to
/// the background (fit_stage_to_background).
///
/// A file that cannot be opened or decoded leaves the slot's image unchanged; the result is
/// then false and `message` says why. Does not recompose the stage.
bool load_slot_file(EditingModel& model, int slot, const QString& path, bool png_route,
                    QString& message);

/// Gives the stage the background slot's size, sets `adjust_x`'s maximum to the background's
/// width in pixels and `adjust_y`'s range to minus to plus its height, clears the stage and
/// switches the adjust view off (`adjust_mode` := 0). `adjust_x`'s minimum is left as it is.
void fit_stage_to_background(EditingModel& model);

}  // namespace koma
