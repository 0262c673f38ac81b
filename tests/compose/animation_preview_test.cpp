#include "compose/animation_preview.h"

#include <gtest/gtest.h>

#include "compose/startup.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::row_of;
using test::solid;

// A 6 x 1 stage over black; shown_slots 1, 2 and 3 are two pixels wide, keyed on magenta, so the
// colour at column 1 tells which slot the stage shows (black: slot 0).
class AnimationPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(solid(6, 1, 0xFF000000u));
        m.win_main.resize_pixels(6, 1);
        m.pic[1].set_picture(from_rows({"MR"}));
        m.pic[2].set_picture(from_rows({"MG"}));
        m.pic[3].set_picture(from_rows({"MB"}));
        m.pic[10].resize_pixels(6, 1);
    }
    char shown() { return row_of(m.win_main.image(), 0)[1]; }

    EditingModel m{QStringLiteral("/")};
};

TEST_F(AnimationPreviewTest, TicksShowEachStepInTurnAndLeaveTheReadoutsAlone) {
    m.pattern_anime.set_text(QStringLiteral("123"));
    m.total_adjust_x.set_text(QStringLiteral("7"));
    anime_click(m);
    EXPECT_EQ(m.anim_running, 1);
    EXPECT_EQ(m.timer1_interval, 80);
    EXPECT_EQ(m.anime.caption, "テスト中断");
    EXPECT_EQ(m.last_focus_request, "pic_dummy");

    std::string shown_slots;
    std::vector<int> positions;
    for (int i = 0; i < 5; ++i) {
        timer1_tick(m);
        shown_slots += shown();
        positions.push_back(m.pattern_pos);
    }
    EXPECT_EQ(shown_slots, "RGBRG");
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 0, 1, 2}));
    EXPECT_EQ(m.total_adjust_x.text(), "7");
    EXPECT_EQ(m.this_adjust_x.text(), "0");
}

TEST_F(AnimationPreviewTest, StopThenStartAlwaysBeginsAtStepZero) {
    m.pattern_anime.set_text(QStringLiteral("1231"));
    anime_click(m);
    timer1_tick(m);
    timer1_tick(m);
    ASSERT_EQ(m.pattern_pos, 2);
    anime_click(m);
    EXPECT_EQ(m.anim_running, 0);
    EXPECT_EQ(m.timer1_interval, 0);
    EXPECT_EQ(m.anime.caption, "アニメテスト");
    EXPECT_EQ(m.pattern_pos, 2);  // stopping leaves the step where it was
    anime_click(m);
    EXPECT_EQ(m.pattern_pos, 0);
    timer1_tick(m);
    EXPECT_EQ(shown(), 'R');
}

TEST_F(AnimationPreviewTest, AShortenedPatternShowsTheStepPastItsEndThenWrapsIntoIt) {
    m.pattern_anime.set_text(QStringLiteral("1232"));
    anime_click(m);
    for (int i = 0; i < 3; ++i) {
        timer1_tick(m);
    }
    ASSERT_EQ(m.pattern_pos, 3);
    m.pattern_anime.set_text(QStringLiteral("32"));
    timer1_tick(m);
    EXPECT_EQ(shown(), 'K');  // step 3 lies past the end: slot 0 as its frame
    EXPECT_EQ(m.pattern_pos, 0);
    timer1_tick(m);
    EXPECT_EQ(shown(), 'B');
    EXPECT_EQ(m.pattern_pos, 1);
    timer1_tick(m);
    EXPECT_EQ(shown(), 'G');
    EXPECT_EQ(m.pattern_pos, 0);
}

TEST_F(AnimationPreviewTest, AnEmptyPatternOnlyMovesTheFocusAndKeepsTicksHarmless) {
    anime_click(m);
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(m.anim_running, 0);
    EXPECT_EQ(m.timer1_interval, 0);
    EXPECT_EQ(m.anime.caption, "アニメテスト");

    // A running test whose pattern is emptied cannot be stopped, and keeps showing its step.
    m.pattern_anime.set_text(QStringLiteral("12"));
    anime_click(m);
    timer1_tick(m);
    m.pattern_anime.set_text(QString());
    anime_click(m);
    EXPECT_EQ(m.anim_running, 1);
    EXPECT_EQ(m.timer1_interval, 80);
    for (int i = 0; i < 3; ++i) {
        timer1_tick(m);
        EXPECT_EQ(m.pattern_pos, 1);
    }
    m.pattern_anime.set_text(QStringLiteral("1"));
    anime_click(m);
    EXPECT_EQ(m.anim_running, 0);
}

TEST_F(AnimationPreviewTest, EachTickHoldsItsStepForItsOwnTimeAtThePreviewsSpeed) {
    m.pattern_anime.set_text(QStringLiteral("123"));
    m.step_ms[1] = 400;
    anime_click(m);
    std::vector<int> intervals{m.timer1_interval};  // before the first step is shown
    for (int i = 0; i < 4; ++i) {
        timer1_tick(m);
        intervals.push_back(m.timer1_interval);
    }
    EXPECT_EQ(intervals, (std::vector<int>{80, 80, 400, 80, 80}));

    // On step 1 again: a speed takes at once, and stays out of the project.
    timer1_tick(m);
    set_preview_speed(m, PreviewSpeed::Half);
    EXPECT_EQ(m.timer1_interval, 800);
    set_preview_speed(m, PreviewSpeed::Double);
    EXPECT_EQ(m.timer1_interval, 200);
    EXPECT_EQ(m.export_settings.frame_ms, 80);
    anime_click(m);
    set_preview_speed(m, PreviewSpeed::Quarter);
    EXPECT_EQ(m.timer1_interval, 0);  // a stopped preview stays stopped
}

}  // namespace
}  // namespace koma
