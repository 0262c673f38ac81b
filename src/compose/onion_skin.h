#pragma once

#include <QImage>

#include "model/editing_model.h"

namespace koma {

/// Opacity of a step shown by the onion skin, of 255: about a third.
inline constexpr int kOnionAlpha = 85;
/// The colour the next step's pixels are mixed with, half and half, to tell it from the
/// previous one.
inline constexpr QRgb kOnionNextTint = 0xFF0070FF;

/// What the views lay over the stage (and, enlarged, over the zoom window's picture) while the
/// onion skin is on in fine adjustment: a QImage::Format_ARGB32_Premultiplied image of the
/// stage's size, transparent but for the frame image of the step before pattern_pos (the
/// pattern wraps: before step 0 comes the last step), keyed on its top-left pixel, placed and
/// wrapped as ComposeFrame places it at that step, in its own colours at kOnionAlpha. With
/// onion_next the frame of the step after pattern_pos is drawn under it the same way, its
/// colours mixed with kOnionNextTint, unless it is the same step as the one before.
///
/// A null image when there is nothing to lay over: the onion skin is off, fine adjustment is
/// off, the pattern has fewer than two steps, pattern_pos lies outside it, or the stage is
/// empty. A step whose frame cannot be placed (see place_frame_at) is left out. Reads the model
/// only: the stage and everything exported stay as they are.
QImage onion_skin_overlay(const EditingModel& model);

/// The onion skin's key: turns it on when it is off and off when it is on (onion_next stays as
/// the user set it).
void toggle_onion_skin(EditingModel& model);

}  // namespace koma
