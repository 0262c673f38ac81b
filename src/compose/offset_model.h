#pragma once

#include "model/editing_model.h"

namespace koma {

/// Travel per step that can be typed into `size_move`; the bar itself reaches -15..15.
inline constexpr int kTypedTravelMin = -10;
inline constexpr int kTypedTravelMax = 10;

/// Change of `adjust_x`: `offset_x` shows the value, then the adjust view is redrawn (if active).
void adjust_x_change(EditingModel& model);

/// Change of `adjust_y`: `offset_y` shows minus the value (up reads positive), then the adjust
/// view is redrawn (if active).
void adjust_y_change(EditingModel& model);

/// Change of `sc_bar`: `size_move` shows the travel.
void sc_bar_change(EditingModel& model);

/// Change of `size_move`'s text: the text is read as a rounded number (read_rounded_number) and,
/// if it lies in -10..10, becomes `sc_bar`'s value; otherwise nothing happens. Together with
/// sc_bar_change this re-enters at most once: the bar rewrites the text, which reads back the
/// value the bar already holds.
void size_move_change(EditingModel& model);

/// `size_move` lost the focus: it shows the travel in force, so that a number it refused (or one
/// it read differently, as 2.5 or 12) does not stay as if it counted. Runs its change handler only
/// when the text changes, which then sets the value the bar already holds.
void size_move_lost_focus(EditingModel& model);

/// Adds dx to step_dx[step] and dy to step_dy[step], which moves that step and every later one.
/// Refused (false, nothing changed) when step lies outside 0..90, or when the move would take
/// the entry, the running sum of entries 0..k or the frame position of step k out of the signed
/// 16-bit range for any k from step to the end of the pattern. Values already outside the range
/// never block a move back towards it.
bool nudge_step(EditingModel& model, int step, int dx, int dy);

}  // namespace koma
