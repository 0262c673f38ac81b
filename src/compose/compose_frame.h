#pragma once

#include "model/editing_model.h"

namespace koma {

/// Where the frame of the step `pattern_pos` lands on the stage, and how it is split at the
/// stage's right edge.
struct FramePlacement {
    int sum_x = 0;    ///< step_dx summed over 0..pattern_pos
    int sum_y = 0;    ///< step_dy summed over 0..pattern_pos
    int frame_x = 0;  ///< stage pixels; 0..W-1 while the raw position is above -5 x W
    int frame_y = 0;
    int part_w = 0;  ///< columns drawn at frame_x
    int wrap_w = 0;  ///< columns that re-enter at the left edge
};

/// Computes the placement of the frame slot `slot` at `pattern_pos`. Fails (returns false) when
/// pattern_pos lies outside 0..90 or a running sum, the raw horizontal position or frame_y would
/// leave the signed 16-bit range.
bool place_frame(const EditingModel& model, int slot, FramePlacement& out);

/// The same for the frame slot `slot` at step `step` instead of pattern_pos.
bool place_frame_at(const EditingModel& model, int step, int slot, FramePlacement& out);

/// Paints the step `pattern_pos` onto the stage: background, the frame named by the pattern at
/// its offset (wrapped at the stage's edges) and the foreground, each frame keyed on its own
/// top-left pixel; then the zoom mirror when zoom_open is exactly 1. With update_readouts == 1
/// the four offset read-outs follow the shown step. Changes no shared variable. On a range
/// error (see place_frame) nothing at all is changed and false is returned.
bool ComposeFrame(EditingModel& model, int update_readouts);

/// Which pixels of the stage that ComposeFrame draws for `pattern_pos` show the background
/// itself: a QImage::Format_Grayscale8 image of the stage's size, 0 where the pixel is the
/// background's own pixel in the background's top-left colour (with a plain background,
/// bg_from_file 0: wherever the background shows) or where no layer covers the stage at all,
/// 255 elsewhere. Every pixel the frame or the foreground draws is 255, whatever its colour.
/// Kept apart from ComposeFrame so that only an export that wants transparency pays for it.
/// Returns a null image on the range errors of place_frame.
QImage stage_coverage(const EditingModel& model);

}  // namespace koma
