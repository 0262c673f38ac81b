#pragma once

#include <gtest/gtest.h>

#include "model/editing_model.h"

namespace koma::test {

/// Checks that the main window has left fine adjustment: flag off, caption "微調整ＯＮ", the
/// pattern editable, the edit cursor and the pointer arrow back at step 0, no selection.
inline void expect_fine_adjust_left(const EditingModel& m) {
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_EQ(m.bt_set2.caption, "微調整ＯＮ");
    EXPECT_FALSE(m.pattern_anime.read_only());
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pointer_k_left, 42);
    EXPECT_EQ(m.pattern_anime.sel_start(), 0);
    EXPECT_EQ(m.pattern_anime.sel_length(), 0);
}

}  // namespace koma::test
