#include "compose/step_time.h"

#include <gtest/gtest.h>

#include "adjust/fine_adjust.h"
#include "compose/animation_preview.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "support/pixels.h"

namespace koma {
namespace {

TEST(ReadStepTime, TakesTimesInRangeAndEmptyOrZeroAsTheFrameTime) {
    EXPECT_EQ(read_step_time(QString()), 0);
    EXPECT_EQ(read_step_time(QStringLiteral(" 0 ")), 0);
    EXPECT_EQ(read_step_time(QStringLiteral("20")), 20);
    EXPECT_EQ(read_step_time(QStringLiteral("65535")), 65535);
    EXPECT_EQ(read_step_time(QStringLiteral("１２０")), 120);  // full-width digits
    for (const char* no_time :
         {"19", "1", "65536", "99999999999999999999", "-40", "+40", "1.5", "abc", "12 0"}) {
        EXPECT_FALSE(read_step_time(QString::fromLatin1(no_time)).has_value()) << no_time;
    }
}

class StepTimeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Form1_Load(m);
        m.pic[0].set_picture(test::solid(6, 1, 0xFF000000u));
        m.win_main.resize_pixels(6, 1);
        m.pic[1].set_picture(test::from_rows({"MR"}));
        m.pattern_anime.set_text(QStringLiteral("1111"));
    }
    void type(const QString& text) { run_edit(m, step_time_edit(m, text)); }

    EditingModel m{QStringLiteral("/")};
    EditHistory history{m};
};

TEST_F(StepTimeTest, TypingSetsTheStepUnderTheCursorAsOneStepThatUndoFindsAgain) {
    bt_set2_click(m);
    form1_key_down(m, kKeyRight);
    EXPECT_EQ(step_time_text(m), "");
    for (const char* text : {"1", "12", "120"}) type(QString::fromLatin1(text));
    EXPECT_EQ(m.step_ms[1], 120);
    EXPECT_EQ(step_time_text(m), "120");
    EXPECT_EQ(history.stack().count(), 1);

    // Undone from another step, the cursor goes back to the step whose time changed.
    history.begin_merge_session();
    form1_key_down(m, kKeyRight);
    form1_key_down(m, kKeyRight);
    history.undo();
    EXPECT_EQ(m.step_ms[1], 0);
    EXPECT_EQ(m.edit_cursor, 1);
    EXPECT_EQ(m.pattern_pos, 1);
    EXPECT_EQ(m.pattern_anime.sel_start(), 1);
    history.redo();
    EXPECT_EQ(m.step_ms[1], 120);

    // Emptied, the step takes the frame time again; a text on the way to a time changes nothing.
    history.begin_merge_session();
    type(QString());
    EXPECT_EQ(m.step_ms[1], 0);
    type(QStringLiteral("9"));
    EXPECT_EQ(m.step_ms[1], 0);
    EXPECT_EQ(m.status.message(), "");
}

TEST_F(StepTimeTest, NothingChangesOutsideFineAdjustmentAndAPlayingPreviewTakesTheTime) {
    m.step_ms[0] = 300;
    EXPECT_EQ(step_time_text(m), "");  // no step is under the cursor
    type(QStringLiteral("200"));
    EXPECT_EQ(m.step_ms[0], 300);
    EXPECT_EQ(history.stack().count(), 0);

    bt_set2_click(m);
    EXPECT_EQ(step_time_text(m), "300");
    anime_click(m);
    timer1_tick(m);  // shows step 0
    ASSERT_EQ(m.timer1_interval, 300);
    type(QStringLiteral("200"));
    EXPECT_EQ(m.timer1_interval, 200);
}

TEST_F(StepTimeTest, ATextThatIsNoTimeIsToldWhenTheBoxIsLeft) {
    step_time_left(m, QStringLiteral("5"));
    EXPECT_EQ(m.status.message(), "");  // not in fine adjustment: the box is not in use
    bt_set2_click(m);
    step_time_left(m, QStringLiteral("120"));
    step_time_left(m, QString());
    EXPECT_EQ(m.status.message(), "");
    step_time_left(m, QStringLiteral("5"));
    EXPECT_TRUE(m.status.failed());
    EXPECT_TRUE(m.status.message().contains(QStringLiteral("「5」")))
        << m.status.message().toStdString();
}

}  // namespace
}  // namespace koma
