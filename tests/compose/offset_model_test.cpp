#include "compose/offset_model.h"

#include <gtest/gtest.h>

#include "compose/startup.h"

namespace koma {
namespace {

class OffsetModelTest : public ::testing::Test {
  protected:
    void SetUp() override { Form1_Load(m); }

    // Counts the runs of a control's change handler, keeping the handler itself.
    template <typename Control>
    void count_changes(Control& control, int& counter) {
        auto inner = control.on_change;
        control.on_change = [inner, &counter] {
            ++counter;
            inner();
        };
    }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(OffsetModelTest, BaseOffsetBarsWriteTheirReadoutsWithUpPositive) {
    m.adjust_x.set_value(-17);
    EXPECT_EQ(m.offset_x.text(), "-17");
    m.adjust_y.set_value(5);
    EXPECT_EQ(m.offset_y.text(), "-5");
    m.adjust_y.set_value(-30);
    EXPECT_EQ(m.offset_y.text(), "30");
}

TEST_F(OffsetModelTest, BarShowsItsWholeRangeInTheTextBox) {
    m.sc_bar.set_value(15);
    EXPECT_EQ(m.size_move.text(), "15");
    m.sc_bar.set_value(-15);
    EXPECT_EQ(m.size_move.text(), "-15");
}

TEST_F(OffsetModelTest, TypedTravelOutsideMinusTenToTenIsIgnored) {
    m.sc_bar.set_value(3);
    for (const char* text : {"12", "-11", "10.6", "99999999999999999999"}) {
        m.size_move.set_text(QString::fromUtf8(text));
        EXPECT_EQ(m.sc_bar.value(), 3) << text;
        EXPECT_EQ(m.size_move.text(), QString::fromUtf8(text));
    }
    m.size_move.set_text(QString(1000, QLatin1Char('7')));
    EXPECT_EQ(m.sc_bar.value(), 3);
    m.size_move.set_text(QStringLiteral("-10"));
    EXPECT_EQ(m.sc_bar.value(), -10);
}

TEST_F(OffsetModelTest, TypedTravelIsReadRoundedAndTheBarRewritesTheText) {
    m.size_move.set_text(QStringLiteral("3.5"));
    EXPECT_EQ(m.sc_bar.value(), 4);
    EXPECT_EQ(m.size_move.text(), "4");
    m.size_move.set_text(QStringLiteral("abc"));
    EXPECT_EQ(m.sc_bar.value(), 0);
    EXPECT_EQ(m.size_move.text(), "0");
    m.size_move.set_text(QStringLiteral("1e9"));
    EXPECT_EQ(m.sc_bar.value(), 1);

    // Typed one character at a time, "2.5" keeps its text: only the "2" changed the bar.
    m.size_move.set_text(QString());
    m.size_move.set_text(QStringLiteral("2"));
    m.size_move.set_text(QStringLiteral("2."));
    m.size_move.set_text(QStringLiteral("2.5"));
    EXPECT_EQ(m.sc_bar.value(), 2);
    EXPECT_EQ(m.size_move.text(), "2.5");
}

TEST_F(OffsetModelTest, ClearingTheBoxSetsZeroAndShowsIt) {
    m.sc_bar.set_value(6);
    m.size_move.set_text(QString());
    EXPECT_EQ(m.sc_bar.value(), 0);
    EXPECT_EQ(m.size_move.text(), "0");
    // With the travel already 0 nothing changes, so the box stays empty.
    m.size_move.set_text(QStringLiteral("-"));
    EXPECT_EQ(m.size_move.text(), "-");
    m.size_move.set_text(QString());
    EXPECT_EQ(m.size_move.text(), "");
}

TEST_F(OffsetModelTest, TheBarAndTheBoxReenterEachOtherAtMostOnce) {
    int bar_changes = 0;
    int box_changes = 0;
    count_changes(m.sc_bar, bar_changes);
    count_changes(m.size_move, box_changes);
    m.size_move.set_text(QStringLiteral("3.5"));  // "3.5", then the bar's "4"
    EXPECT_EQ(bar_changes, 1);
    EXPECT_EQ(box_changes, 2);

    bar_changes = box_changes = 0;
    m.sc_bar.set_value(-7);  // the text follows and reads back -7: no second bar change
    EXPECT_EQ(bar_changes, 1);
    EXPECT_EQ(box_changes, 1);
    EXPECT_EQ(m.size_move.text(), "-7");
}

TEST_F(OffsetModelTest, NudgesAreRefusedWhenAnEntryOrARunningSumWouldOverflow) {
    m.pattern_anime.set_text(QStringLiteral("123"));
    m.step_dx[2] = 32767;
    EXPECT_FALSE(nudge_step(m, 2, 1, 0));
    EXPECT_EQ(m.step_dx[2], 32767);

    m.step_dx = {};
    m.step_dx[0] = 20000;
    m.step_dx[2] = 12767;  // running sum at step 2: 32767
    EXPECT_FALSE(nudge_step(m, 1, 1, 0));
    EXPECT_EQ(m.step_dx[1], 0);
    EXPECT_TRUE(nudge_step(m, 1, -1, 0));
    EXPECT_EQ(m.step_dx[1], -1);
    // Only the steps of the pattern count: cut to two steps, the sum at step 2 is no one's.
    m.step_dx[1] = 0;
    m.pattern_anime.set_text(QStringLiteral("12"));
    EXPECT_TRUE(nudge_step(m, 1, 1, 0));
    EXPECT_EQ(m.step_dx[1], 1);

    m.step_dy[0] = -32768;
    EXPECT_FALSE(nudge_step(m, 1, 0, -1));
    EXPECT_EQ(m.step_dy[1], 0);
    EXPECT_TRUE(nudge_step(m, 1, 0, 1));
}

TEST_F(OffsetModelTest, NudgesAreRefusedWhenAFramePositionWouldOverflow) {
    m.pattern_anime.set_text(QStringLiteral("1111"));
    m.sc_bar.set_value(10);
    m.step_dx[0] = 32767 - 30;  // raw position of step 3: 10 x 3 + 32737 = 32767
    EXPECT_FALSE(nudge_step(m, 0, 1, 0));
    EXPECT_EQ(m.step_dx[0], 32737);
    m.sc_bar.set_value(9);
    EXPECT_TRUE(nudge_step(m, 0, 1, 0));

    m.adjust_y.set_value(100);
    m.step_dy[2] = 32667;  // frame_y of steps 2 and 3: 32767
    EXPECT_FALSE(nudge_step(m, 3, 0, 1));
    EXPECT_FALSE(nudge_step(m, 0, 0, 1));
    EXPECT_TRUE(nudge_step(m, 3, 0, -1));
    EXPECT_EQ(m.step_dy[3], -1);
}

TEST_F(OffsetModelTest, OutOfRangeStateNeverBlocksAMoveBackAndBadStepsAreRefused) {
    m.pattern_anime.set_text(QStringLiteral("11"));
    m.step_dx[0] = 32767;
    m.step_dx[1] = 1;  // the sum at step 1 is already past the range
    EXPECT_FALSE(nudge_step(m, 1, 1, 0));
    EXPECT_TRUE(nudge_step(m, 1, -1, 0));
    EXPECT_EQ(m.step_dx[1], 0);
    EXPECT_FALSE(nudge_step(m, -1, 1, 0));
    EXPECT_FALSE(nudge_step(m, kMaxSteps, 1, 0));
}

}  // namespace
}  // namespace koma

namespace koma {
namespace {

TEST(SizeMoveLeftTest, ABoxThatIsLeftShowsTheTravelInForce) {
    EditingModel m{QStringLiteral("/")};
    Form1_Load(m);
    // Typed key by key: "1" sets the travel, "12" is refused and would stay on show.
    m.size_move.set_text(QStringLiteral("1"));
    m.size_move.set_text(QStringLiteral("12"));
    EXPECT_EQ(m.sc_bar.value(), 1);
    size_move_lost_focus(m);
    EXPECT_EQ(m.size_move.text(), "1");
    EXPECT_EQ(m.sc_bar.value(), 1);
}

}  // namespace
}  // namespace koma
