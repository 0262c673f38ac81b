#include "compose/compose_frame.h"

#include <gtest/gtest.h>

#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::row_of;
using test::solid;

// A 10 x 2 stage over a black background, with a 4 x 1 frame in slot 1 keyed on magenta,
// and an empty foreground (its top-left colour everywhere, so nothing of it is drawn).
class ComposeFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(solid(10, 2, 0xFF000000u));
        m.win_main.resize_pixels(10, 2);
        m.pic[1].set_picture(from_rows({"MRGB"}));
        m.pic[10].resize_pixels(10, 2);
        m.adjust_x.set_min(-1000);
        m.adjust_x.set_max(1000);
        m.pattern_anime.set_text(QStringLiteral("1111"));
    }
    std::string stage_row(int y = 0) { return row_of(m.win_main.image(), y); }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(ComposeFrameTest, FrameAtBaseOffsetIsKeyedOnItsTopLeftPixel) {
    m.adjust_x.set_value(3);
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(0), "KKKKRGBKKK");
    EXPECT_EQ(stage_row(1), "KKKKKKKKKK");
}

TEST_F(ComposeFrameTest, FrameSplitsAtTheRightEdgeAndReentersAtTheLeft) {
    m.adjust_x.set_value(8);
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "GBKKKKKKKR");  // columns 8, 9 get source 0, 1; source 2, 3 re-enter
    m.adjust_x.set_value(-2);              // raw -2 lands at 8 too
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "GBKKKKKKKR");
}

TEST_F(ComposeFrameTest, RawPositionAtAndBelowFiveStageWidths) {
    FramePlacement p;
    m.adjust_x.set_value(-50);  // exactly -5 x W
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.frame_x, 0);
    m.adjust_x.set_value(-49);
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.frame_x, 1);
    // Below -5 x W the remainder is negative and the frame is clipped instead of wrapped.
    m.adjust_x.set_value(-53);
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.frame_x, -3);
    EXPECT_EQ(p.part_w, 4);
    EXPECT_EQ(p.wrap_w, 0);
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "BKKKKKKKKK");
    m.adjust_x.set_value(-59);
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.frame_x, -9);
    m.adjust_x.set_value(-60);
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.frame_x, 0);
}

TEST_F(ComposeFrameTest, TravelPerStepMovesAndWrapsBothWays) {
    m.sc_bar.set_value(5);
    std::vector<int> right;
    for (int pos = 0; pos < 4; ++pos) {
        m.pattern_pos = static_cast<int16_t>(pos);
        FramePlacement p;
        ASSERT_TRUE(place_frame(m, 1, p));
        right.push_back(p.frame_x);
    }
    EXPECT_EQ(right, (std::vector<int>{0, 5, 0, 5}));
    m.sc_bar.set_value(-3);
    std::vector<int> left;
    for (int pos = 0; pos < 4; ++pos) {
        m.pattern_pos = static_cast<int16_t>(pos);
        FramePlacement p;
        ASSERT_TRUE(place_frame(m, 1, p));
        left.push_back(p.frame_x);
    }
    EXPECT_EQ(left, (std::vector<int>{0, 7, 4, 1}));
}

TEST_F(ComposeFrameTest, FrameWiderThanTheStageOverlapsWithTheWrappedPartLast) {
    m.pic[1].set_picture(from_rows({"MRRRRRRRRRRGG"}));  // 13 wide on a 10 wide stage
    m.adjust_x.set_value(2);
    FramePlacement p;
    ASSERT_TRUE(place_frame(m, 1, p));
    EXPECT_EQ(p.part_w, 8);
    EXPECT_EQ(p.wrap_w, 5);
    ASSERT_TRUE(ComposeFrame(m, 0));
    // Source columns 8..12 ("RRRGG") re-enter at 0..4 over the first part.
    EXPECT_EQ(stage_row(), "RRRGGRRRRR");
}

TEST_F(ComposeFrameTest, LayersAreBackgroundFrameForeground) {
    m.pic[10].set_picture(from_rows({"CCYCCCCCCC", "CCCCCCCCCC"}));
    m.adjust_x.set_value(1);
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "KKYGBKKKKK");
}

TEST_F(ComposeFrameTest, SmallerBackgroundLeavesTheClearedStageShowing) {
    m.pic[0].set_picture(solid(3, 1, 0xFF000000u));
    m.win_main.image().fill(qRgb(1, 2, 3));
    m.pattern_anime.set_text(QStringLiteral("2"));  // slot 2 is blank: nothing of it is drawn
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(0), "KKKWWWWWWW");
    EXPECT_EQ(stage_row(1), "WWWWWWWWWW");
}

TEST_F(ComposeFrameTest, EmptyPatternAndNonDigitsDrawTheBackgroundAsTheFrame) {
    m.pic[0].set_picture(from_rows({"KKRKKKKKKK", "KKKKKKKKKK"}));
    m.adjust_x.set_value(5);
    m.pattern_anime.set_text(QString());
    ASSERT_TRUE(ComposeFrame(m, 0));
    // The background is drawn once more at x = 5, keyed on its own black top-left pixel.
    EXPECT_EQ(stage_row(), "KKRKKKKRKK");
    for (const QString& pattern : {QStringLiteral("0"), QStringLiteral("a"), QStringLiteral(" ")}) {
        m.pattern_anime.set_text(pattern);
        m.win_main.clear();
        ASSERT_TRUE(ComposeFrame(m, 0));
        EXPECT_EQ(stage_row(), "KKRKKKKRKK") << pattern.toStdString();
    }
}

TEST_F(ComposeFrameTest, FullWidthDigitsAndPositionsPastThePattern) {
    m.pic[3].set_picture(from_rows({"MYY"}));
    m.pattern_anime.set_text(QStringLiteral("1３"));
    m.pattern_pos = 1;
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "KYYKKKKKKK");
    // A position past the end of the pattern selects slot 0 (a uniform black background here).
    m.pattern_pos = 50;
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(), "KKKKKKKKKK");
}

TEST_F(ComposeFrameTest, ReadoutsFollowTheStepOnlyWhenAsked) {
    m.step_dx[0] = 2;
    m.step_dx[1] = -5;
    m.step_dy[0] = 1;
    m.step_dy[1] = 2;
    m.pattern_pos = 1;
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(m.total_adjust_x.text(), "0");
    EXPECT_EQ(m.total_adjust_y.text(), "0");
    ASSERT_TRUE(ComposeFrame(m, 1));
    EXPECT_EQ(m.total_adjust_x.text(), "-3");
    EXPECT_EQ(m.total_adjust_y.text(), "-3");  // down 3 reads as -3
    EXPECT_EQ(m.this_adjust_x.text(), "-5");
    EXPECT_EQ(m.this_adjust_y.text(), "-2");
    EXPECT_EQ(m.pattern_pos, 1);
}

TEST_F(ComposeFrameTest, VerticalOffsetMovesTheFrameWithoutWrapping) {
    m.pic[1].set_picture(from_rows({"MR", "GB"}));
    m.step_dy[0] = 1;
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(stage_row(0), "KKKKKKKKKK");
    EXPECT_EQ(stage_row(1), "KRKKKKKKKK");  // the row "GB" falls off the bottom
}

TEST_F(ComposeFrameTest, SixteenBitOverflowIsRefusedAndChangesNothing) {
    m.step_dx[0] = 32767;
    m.step_dx[1] = 1;
    m.pattern_pos = 1;
    m.win_main.image().fill(qRgb(7, 7, 7));
    const QImage before = m.win_main.image().copy();
    EXPECT_FALSE(ComposeFrame(m, 1));
    EXPECT_EQ(m.win_main.image(), before);
    EXPECT_EQ(m.total_adjust_x.text(), "0");

    m.step_dx = {};
    m.step_dy[0] = -32768;
    m.adjust_y.set_value(-1);
    EXPECT_FALSE(ComposeFrame(m, 0));  // frame_y = -32769

    m.step_dy = {};
    m.pattern_pos = 91;
    EXPECT_FALSE(ComposeFrame(m, 0));
    m.pattern_pos = -1;
    EXPECT_FALSE(ComposeFrame(m, 0));
}

TEST_F(ComposeFrameTest, HugeOffsetsWithinRangeStillCompose) {
    m.step_dx[0] = 32000;
    m.step_dy[0] = -32000;
    ASSERT_TRUE(ComposeFrame(m, 1));
    EXPECT_EQ(m.total_adjust_y.text(), "32000");
    EXPECT_EQ(stage_row(0), "KKKKKKKKKK");
}

TEST_F(ComposeFrameTest, PatternIsCutTo91StepsAndStep90Composes) {
    m.pattern_anime.set_text(QString(120, QLatin1Char('1')));
    EXPECT_EQ(m.pattern_anime.text().size(), 91);
    m.pattern_pos = 90;
    m.step_dx[90] = 1;
    ASSERT_TRUE(ComposeFrame(m, 1));
    EXPECT_EQ(m.this_adjust_x.text(), "1");
    EXPECT_EQ(stage_row(), "KKRGBKKKKK");
}

TEST_F(ComposeFrameTest, ZoomMirrorOnlyWhenZoomOpenIsExactlyOne) {
    m.zoom_surface.resize_pixels(40, 8);
    m.zoom_surface.fill(qRgb(5, 5, 5));
    m.zoom_open = 2;
    ASSERT_TRUE(ComposeFrame(m, 0));
    EXPECT_EQ(m.zoom_surface.pixel(0, 0), qRgb(5, 5, 5));
    m.zoom_open = 1;
    ASSERT_TRUE(ComposeFrame(m, 0));
    const QImage expected = m.win_main.image().scaled(40, 8);
    EXPECT_EQ(m.zoom_surface.image(), expected);
}

}  // namespace
}  // namespace koma
