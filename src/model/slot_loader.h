#pragma once

#include <QString>

#include "model/editing_model.h"

namespace koma {

/// Loads the file at `path` into the image of slot `slot` (0 to 10): through ReadPNGFile when
/// `png_route`, else through the platform's picture loader, whose picture the slot surface then
/// takes with its size. Only the slot's surface changes.
///
/// A file that cannot be opened or decoded leaves the surface exactly as it was; the result is
/// then false and `message` says why.
bool load_slot_image(EditingModel& model, int slot, const QString& path, bool png_route,
                     QString& message);

/// Loads the file at `path` into slot `slot` (0 to 10), as the picker's file click does:
/// load_slot_image, then `slot_files(slot)` := `path` whatever happened. For slot 0,
/// `bg_from_file` := -1 and the stage takes the background's size (fit_stage_to_background),
/// the offset ranges follow it (fit_ranges_to_background), the stage is cleared after that and
/// the adjust view is switched off (`adjust_mode` := 0).
///
/// The result and `message` are load_slot_image's. Does not recompose the stage.
bool load_slot_file(EditingModel& model, int slot, const QString& path, bool png_route,
                    QString& message);

/// Makes the image of slot `slot` (0 to 10) blank again, in the size the slot has at start-up
/// (blank_slot_surface). Only the slot's surface changes.
void empty_slot(EditingModel& model, int slot);

/// Sets `adjust_x`'s maximum to the background slot's outer width in pixels and `adjust_y`'s
/// range to minus to plus its height. `adjust_x`'s minimum is left as it is. A value outside
/// the new range is limited to it, which runs the bar's change handler.
void fit_ranges_to_background(EditingModel& model);

/// Gives the stage the background slot's outer size and clears it.
void fit_stage_to_background(EditingModel& model);

}  // namespace koma
