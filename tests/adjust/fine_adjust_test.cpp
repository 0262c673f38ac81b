#include "adjust/fine_adjust.h"

#include <gtest/gtest.h>

#include "compose/adjust_view.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "support/fine_adjust_checks.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::row_of;
using test::solid;

// An 8 x 2 black stage; slot 1 is "MRG" keyed on magenta, slot 2 "MY", the foreground keyed on
// cyan with one white pixel, so a composed stage and the adjust view can be told apart.
class FineAdjustTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(solid(8, 2, 0xFF000000u));
        m.win_main.resize_pixels(8, 2);
        m.pic[1].set_picture(from_rows({"MRG"}));
        m.pic[2].set_picture(from_rows({"MY"}));
        m.pic[10].set_picture(from_rows({"CCCCCCCW", "CCCCCCCC"}));
        m.adjust_x.set_max(8);
        m.adjust_y.set_max(2);
        m.adjust_y.set_min(-2);
    }
    std::string stage_row(int y = 0) { return row_of(m.win_main.image(), y); }
    void mark_stage() { m.win_main.fill(qRgb(0, 0, 255)); }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(FineAdjustTest, EnteringStartsAtStepZeroAndShowsIt) {
    m.pattern_anime.set_text(QStringLiteral("21"));
    m.adjust_mode = 1;
    m.pattern_pos = 1;
    m.step_dx[0] = 1;
    m.step_dy[0] = -1;
    mark_stage();
    bt_set2_click(m);
    EXPECT_EQ(m.fine_adjust, 1);
    EXPECT_EQ(m.adjust_mode, 0);
    EXPECT_EQ(m.bt_set2.caption, "微調整ＯＦＦ");
    EXPECT_TRUE(m.pattern_anime.read_only());
    EXPECT_EQ(m.pattern_anime.sel_start(), 0);
    EXPECT_EQ(m.pattern_anime.sel_length(), 1);
    EXPECT_EQ(m.pattern_pos, 0);
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pointer_k_left, 42);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(stage_row(0), "KKKKKKKW");  // slot 2 at (1, -1): its row is above the stage
    EXPECT_EQ(stage_row(1), "KKKKKKKK");
    EXPECT_EQ(m.this_adjust_x.text(), "1");
    EXPECT_EQ(m.total_adjust_y.text(), "1");
}

TEST_F(FineAdjustTest, AnEmptyPatternNeverEntersAndLeavesTheAdjustViewAlone) {
    m.adjust_mode = 1;
    mark_stage();
    bt_set2_click(m);
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_EQ(m.bt_set2.caption, "微調整ＯＮ");
    EXPECT_FALSE(m.pattern_anime.read_only());
    EXPECT_EQ(m.adjust_mode, 1);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(stage_row(), "BBBBBBBB");  // not redrawn
}

TEST_F(FineAdjustTest, LeavingWithAnEmptiedPatternRunsTheLeaveActions) {
    m.pattern_anime.set_text(QStringLiteral("1111"));
    bt_set2_click(m);
    form1_key_down(m, kKeyLeft);
    ASSERT_EQ(m.edit_cursor, 3);
    m.pattern_anime.set_text(QString());  // as a state file might leave it
    bt_set2_click(m);
    test::expect_fine_adjust_left(m);
    EXPECT_EQ(m.pattern_pos, 3);  // the shown step is not touched by leaving
    bt_set2_click(m);
    EXPECT_EQ(m.fine_adjust, 0);  // and it cannot come back on
}

TEST_F(FineAdjustTest, OffAndOnAgainStartsOverAtStepZero) {
    m.pattern_anime.set_text(QStringLiteral("1212"));
    bt_set2_click(m);
    for (int i = 0; i < 3; ++i) {
        form1_key_down(m, kKeyRight);
    }
    ASSERT_EQ(m.edit_cursor, 3);
    mark_stage();
    bt_set2_click(m);
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pointer_k_left, 42);
    EXPECT_EQ(m.pattern_anime.sel_length(), 0);
    EXPECT_EQ(m.pattern_pos, 3);
    EXPECT_EQ(stage_row(), "BBBBBBBB");
    bt_set2_click(m);
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pattern_pos, 0);
    EXPECT_EQ(m.pattern_anime.sel_start(), 0);
    EXPECT_EQ(m.pattern_anime.sel_length(), 1);
    bt_arrow_click(m, 3);
    EXPECT_EQ(m.step_dx[0], 1);
    EXPECT_EQ(m.step_dx[3], 0);
}

TEST_F(FineAdjustTest, AdjustButtonEndsFineAdjustmentAndDrawsTheAdjustView) {
    m.pattern_anime.set_text(QStringLiteral("2222"));
    bt_set2_click(m);
    form1_key_down(m, kKeyRight);
    m.adjust_x.set_value(2);
    m.sc_bar.set_value(3);
    m.step_dx[0] = 1;
    bt_set_click(m);
    EXPECT_EQ(m.adjust_mode, 1);
    test::expect_fine_adjust_left(m);
    // Slot 1 at the base offset only: no travel, no delta, no foreground, whatever the pattern.
    EXPECT_EQ(stage_row(0), "KKKRGKKK");
}

TEST_F(FineAdjustTest, ResetClearsTheBaseOffsetOnlyAndRedrawsTheAdjustViewPerBar) {
    m.pattern_anime.set_text(QStringLiteral("11"));
    bt_set2_click(m);
    m.adjust_x.set_value(5);
    m.adjust_y.set_value(-2);
    m.sc_bar.set_value(4);
    m.step_dx[1] = 6;
    m.step_dy[0] = -3;
    m.last_focus_request.clear();
    bt_reset_click(m);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(m.adjust_x.value(), 0);
    EXPECT_EQ(m.adjust_y.value(), 0);
    EXPECT_EQ(m.offset_x.text(), "0");
    EXPECT_EQ(m.offset_y.text(), "0");
    EXPECT_EQ(m.step_dx[1], 6);
    EXPECT_EQ(m.step_dy[0], -3);
    EXPECT_EQ(m.sc_bar.value(), 4);
    EXPECT_EQ(m.fine_adjust, 1);

    // In the adjust view, adjust_x's handler draws before adjust_y is reset.
    bt_set_click(m);
    m.adjust_x.set_value(4);
    m.adjust_y.set_value(1);
    std::vector<std::string> drawn;
    auto inner = m.adjust_x.on_change;
    m.adjust_x.on_change = [&, inner] {
        inner();
        drawn.push_back(stage_row(1));
    };
    bt_reset_click(m);
    EXPECT_EQ(drawn, std::vector<std::string>{"KRGKKKKK"});  // x already 0, y still 1
    EXPECT_EQ(stage_row(0), "KRGKKKKK");
}

TEST_F(FineAdjustTest, AdjustViewKeysOnSlotOneClipsAndNeverWraps) {
    m.pic[1].set_picture(from_rows({"MRMG"}));
    m.adjust_mode = 1;
    m.adjust_x.set_value(6);
    EXPECT_EQ(stage_row(0), "KKKKKKKR");  // "MG" falls off the right edge and stays off
    m.adjust_x.set_value(-2);
    EXPECT_EQ(stage_row(0), "KGKKKKKK");  // the second magenta lets the background show

    // Off: the bars' handlers draw nothing.
    m.adjust_mode = 0;
    mark_stage();
    m.adjust_x.set_value(1);
    adjust_view(m);
    EXPECT_EQ(stage_row(0), "BBBBBBBB");
}

TEST_F(FineAdjustTest, AdjustViewDoesNotClearAStageLargerThanTheBackground) {
    m.pic[0].set_picture(solid(2, 1, 0xFF000000u));
    m.pic[1].set_picture(from_rows({"MR"}));
    m.adjust_mode = 1;
    mark_stage();
    m.adjust_x.set_value(3);
    EXPECT_EQ(stage_row(0), "KKBBRBBB");
    EXPECT_EQ(stage_row(1), "BBBBBBBB");
}

TEST_F(FineAdjustTest, AdjustViewMirrorsIntoTheZoomOnlyWhenOpenIsExactlyOne) {
    m.adjust_mode = 1;
    m.zoom_surface.fill(qRgb(0, 0, 255));
    m.zoom_open = 2;
    adjust_view(m);
    EXPECT_EQ(m.zoom_surface.pixel(0, 0), qRgb(0, 0, 255));
    m.zoom_open = 1;
    adjust_view(m);
    EXPECT_EQ(m.zoom_surface.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(m.zoom_surface.pixel(4 * 1, 0), qRgb(255, 0, 0));  // slot 1's red at x = 1
}

}  // namespace
}  // namespace koma
