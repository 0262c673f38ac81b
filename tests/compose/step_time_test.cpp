#include "compose/step_time.h"

#include <gtest/gtest.h>

#include "adjust/fine_adjust.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "model/edit_history.h"

namespace koma {
namespace {

TEST(StepTime, TypingSetsTheStepUnderTheCursorAsOneStepThatUndoFindsAgain) {
    EditingModel m(QStringLiteral("/"));
    Form1_Load(m);
    EditHistory history(m);
    m.pattern_anime.set_text(QStringLiteral("1111"));
    const auto type = [&](const QString& text) { run_edit(m, step_time_edit(m, text)); };
    type(QStringLiteral("200"));  // outside fine adjustment no step is under the cursor
    EXPECT_EQ(m.step_ms[0], 0);

    bt_set2_click(m);
    form1_key_down(m, kKeyRight);
    // On the way to a time, and past the times there are, nothing changes.
    for (const char* text : {"1", "12", "120", "12O", "1200000", "１２０"}) {
        type(QString::fromUtf8(text));
    }
    EXPECT_EQ(m.step_ms[1], 120);
    EXPECT_EQ(step_time_text(m), "120");
    EXPECT_EQ(history.stack().count(), 1);

    // Undone from another step, the cursor goes back to the step whose time changed.
    history.begin_merge_session();
    form1_key_down(m, kKeyRight);
    history.undo();
    EXPECT_EQ(m.step_ms[1], 0);
    EXPECT_EQ(m.edit_cursor, 1);
    EXPECT_EQ(m.pattern_pos, 1);
    history.redo();
    EXPECT_EQ(m.step_ms[1], 120);

    // Emptied, the step takes the frame time again; a text that is no time is told when left.
    type(QString());
    EXPECT_EQ(m.step_ms[1], 0);
    step_time_left(m, QStringLiteral("19"));
    EXPECT_TRUE(m.status.failed());
    EXPECT_TRUE(m.status.message().contains(QStringLiteral("「19」")));
}

}  // namespace
}  // namespace koma
