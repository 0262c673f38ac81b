#pragma once

#include "model/editing_model.h"

namespace koma {

/// Key codes the main window's key handler acts on (the platform's virtual-key numbers).
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyRight = 39;

/// Left edge of the pattern box `pattern_anime` in main-window pixels.
inline constexpr int kPatternBoxLeft = 40;
/// Width of one pattern character in the pattern box's font, pixels.
inline constexpr int kPatternCharWidth = 8;
/// Where the text starts inside the pattern box, pixels from its left edge.
inline constexpr int kPatternTextStart = 2;

/// Left edge of the pointer arrow when it marks `step`: over that character of the pattern.
constexpr int pointer_left_for(int step) {
    return kPatternBoxLeft + kPatternTextStart + kPatternCharWidth * step;
}

/// Puts the edit cursor on `step` and the pointer arrow over it. `step` must lie in 0..90.
void place_edit_cursor(EditingModel& model, int step);

/// Key press seen by the main window before the focused control. In fine adjustment with a
/// non-empty pattern, Left and Right move the edit cursor one step (wrapping at both ends), move
/// the pointer, park the focus on pic_dummy, select that one character, show that step and
/// update the read-outs. Any other key, or no fine adjustment, or an empty pattern: nothing.
/// Returns whether anything changed. The caller lets the key go on to the focused control.
bool form1_key_down(EditingModel& model, int key_code);

/// Click on `bt_arrow(index)`, index 0..3 = up, down, left, right: parks the focus on
/// pic_dummy; in fine adjustment moves the step under the edit cursor (and so every later step)
/// by one pixel and shows it with its read-outs. A move that would take a delta, a running sum
/// or a frame position out of the signed 16-bit range is refused and changes nothing.
void bt_arrow_click(EditingModel& model, int index);

/// After an edit of step `step` was undone or redone: in fine adjustment, the edit cursor, the
/// pattern's selection and the stage go back to that step (with its read-outs), so that the
/// user sees what changed. Nothing outside fine adjustment, for a step past the pattern's end,
/// or when the cursor is already there.
void show_edited_step(EditingModel& model, int step);

/// Leaves fine adjustment: fine_adjust off, `bt_set2` caption "微調整ＯＮ", the pattern editable,
/// the edit cursor and the pointer arrow back at step 0 and the pattern's selection cleared.
/// adjust_mode, pattern_pos and the stage stay as they are. Safe to call in any mode; the picker
/// and state windows call it when they open.
void leave_fine_adjust(EditingModel& model);

}  // namespace koma
