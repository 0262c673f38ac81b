#pragma once

#include "compose/pattern_cursor.h"
#include "model/editing_model.h"

namespace koma {

/// Click on `bt_set` ("調整"): ends fine adjustment (as leave_fine_adjust), turns the adjust view
/// on and draws it.
void bt_set_click(EditingModel& model);

/// Click on `bt_set2` ("微調整ＯＮ" / "微調整ＯＦＦ"): parks the focus on pic_dummy. With an empty
/// pattern, or in fine adjustment, leaves fine adjustment. Otherwise enters it: the adjust view
/// ends, caption "微調整ＯＦＦ", the pattern read-only with its first character selected, edit
/// cursor and pattern_pos at step 0, and step 0 is shown with its read-outs.
void bt_set2_click(EditingModel& model);

/// Click on `bt_reset` ("リセット"): parks the focus on pic_dummy and sets the base offset to
/// 0, 0 (adjust_x first, each running its change handler). Deltas and travel stay.
void bt_reset_click(EditingModel& model);

}  // namespace koma
