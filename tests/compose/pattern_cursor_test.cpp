#include "compose/pattern_cursor.h"

#include <gtest/gtest.h>

#include "adjust/fine_adjust.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::solid;

class PatternCursorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(solid(20, 4, 0xFF000000u));
        m.win_main.resize_pixels(20, 4);
        m.pic[1].set_picture(from_rows({"MR"}));
        m.pic[10].resize_pixels(20, 4);
        m.pattern_anime.set_text(QStringLiteral("1111"));
    }
    int frame_x_at(int step) {
        m.pattern_pos = static_cast<int16_t>(step);
        FramePlacement p;
        EXPECT_TRUE(place_frame(m, 1, p));
        return p.frame_x;
    }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(PatternCursorTest, KeysActOnlyInFineAdjustmentWithAPattern) {
    EXPECT_FALSE(form1_key_down(m, kKeyLeft));
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pointer_k_left, 42);

    m.fine_adjust = 1;
    m.pattern_anime.set_text(QString());
    m.last_focus_request.clear();
    EXPECT_FALSE(form1_key_down(m, kKeyRight));
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_TRUE(m.last_focus_request.isEmpty());
}

TEST_F(PatternCursorTest, LeftAndRightWrapAtBothEndsAndCarryPointerSelectionAndStep) {
    bt_set2_click(m);
    ASSERT_EQ(m.fine_adjust, 1);
    m.last_focus_request.clear();

    ASSERT_TRUE(form1_key_down(m, kKeyLeft));
    EXPECT_EQ(m.edit_cursor, 3);
    EXPECT_EQ(m.pointer_k_left, 40 + 26);
    EXPECT_EQ(m.pattern_anime.sel_start(), 3);
    EXPECT_EQ(m.pattern_anime.sel_length(), 1);
    EXPECT_EQ(m.pattern_pos, 3);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");

    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    EXPECT_EQ(m.edit_cursor, 0);
    EXPECT_EQ(m.pointer_k_left, 42);
    EXPECT_EQ(m.pattern_pos, 0);
    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    EXPECT_EQ(m.edit_cursor, 2);
    EXPECT_EQ(m.pattern_anime.sel_start(), 2);

    for (int other : {38, 40, 13, 65}) {  // Up, Down, Enter, "A"
        EXPECT_FALSE(form1_key_down(m, other));
    }
    EXPECT_EQ(m.edit_cursor, 2);
}

TEST_F(PatternCursorTest, ThreeRightsAtStepOneMoveThatStepAndEveryLaterOne) {
    bt_set2_click(m);
    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    for (int i = 0; i < 3; ++i) {
        bt_arrow_click(m, 3);
    }
    EXPECT_EQ(m.step_dx[1], 3);
    EXPECT_EQ(m.this_adjust_x.text(), "3");
    EXPECT_EQ(m.total_adjust_x.text(), "3");
    EXPECT_EQ(m.pattern_pos, 1);
    // The stage shows step 1 with its frame pixel at 3 + 1.
    EXPECT_EQ(m.win_main.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(frame_x_at(0), 0);
    EXPECT_EQ(frame_x_at(1), 3);
    EXPECT_EQ(frame_x_at(2), 3);
    EXPECT_EQ(frame_x_at(3), 3);
    m.pattern_pos = 1;

    bt_arrow_click(m, 0);  // up
    EXPECT_EQ(m.step_dy[1], -1);
    EXPECT_EQ(m.this_adjust_y.text(), "1");
    bt_arrow_click(m, 1);
    bt_arrow_click(m, 1);  // down twice
    EXPECT_EQ(m.step_dy[1], 1);
    EXPECT_EQ(m.this_adjust_y.text(), "-1");
    bt_arrow_click(m, 2);  // left
    EXPECT_EQ(m.step_dx[1], 2);
    EXPECT_EQ(m.step_dx[0], 0);
}

TEST_F(PatternCursorTest, ArrowButtonsOutsideFineAdjustmentOnlyMoveTheFocus) {
    m.win_main.fill(qRgb(1, 2, 3));
    for (int i = 0; i < 4; ++i) {
        m.last_focus_request.clear();
        bt_arrow_click(m, i);
        EXPECT_EQ(m.last_focus_request, "pic_dummy");
    }
    EXPECT_EQ(m.step_dx, (std::array<int16_t, kMaxSteps>{}));
    EXPECT_EQ(m.step_dy, (std::array<int16_t, kMaxSteps>{}));
    EXPECT_EQ(m.win_main.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(m.this_adjust_x.text(), "0");
}

TEST_F(PatternCursorTest, ARefusedNudgeKeepsTheDeltaAndTheReadouts) {
    bt_set2_click(m);
    m.step_dx[0] = 32767;
    bt_arrow_click(m, 3);
    EXPECT_EQ(m.step_dx[0], 32767);
    EXPECT_EQ(m.this_adjust_x.text(), "0");  // not recomposed
    bt_arrow_click(m, 2);
    EXPECT_EQ(m.step_dx[0], 32766);
    EXPECT_EQ(m.this_adjust_x.text(), "32766");
}

TEST_F(PatternCursorTest, FullLengthPatternReachesStepNinety) {
    m.pattern_anime.set_text(QString(kMaxSteps, QLatin1Char('1')));
    bt_set2_click(m);
    ASSERT_TRUE(form1_key_down(m, kKeyLeft));
    EXPECT_EQ(m.edit_cursor, 90);
    EXPECT_EQ(m.pointer_k_left, 42 + 8 * 90);
    bt_arrow_click(m, 3);
    EXPECT_EQ(m.step_dx[90], 1);
    EXPECT_EQ(m.total_adjust_x.text(), "1");
}

}  // namespace
}  // namespace koma
