#include "model/edit_history.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "adjust/adjust_edits.h"
#include "adjust/background_settings.h"
#include "adjust/fine_adjust.h"
#include "compose/animation_preview.h"
#include "compose/nudge_command.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "import/import_edits.h"
#include "model/slot_loader.h"
#include "model/typing_edit.h"
#include "support/image_files.h"
#include "support/model_state.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::model_state;
using test::ModelState;

class EditHistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
    }

    QString image_file(const QString& name, const QImage& image, const char* format = "bmp") {
        const QString path = QDir(dir.path()).filePath(name);
        EXPECT_TRUE(test::write_file(path, test::encoded(image, format)));
        return path;
    }

    // A background, two frames and a pattern, with the stage showing them.
    void load_project() {
        QString message;
        ASSERT_TRUE(load_slot_file(m, 0, image_file("bg.bmp", test::solid(30, 12, qRgb(0, 0, 255))),
                                   false, message));
        ASSERT_TRUE(load_slot_file(m, 1, image_file("a.bmp", test::from_rows({"WRRW", "WRRW"})),
                                   false, message));
        ASSERT_TRUE(load_slot_file(m, 2, image_file("b.bmp", test::from_rows({"WGGW", "WGGW"})),
                                   false, message));
        m.pattern_anime.set_text(QStringLiteral("121"));
    }

    void enter_fine_adjust() {
        bt_set2_click(m);
        ASSERT_EQ(m.fine_adjust, 1);
    }

    // Runs `edit`, then checks that undo gives back exactly the model before it and redo
    // exactly the model after it.
    void expect_round_trip(const std::function<void()>& edit) {
        const ModelState before = model_state(m);
        edit();
        const ModelState after = model_state(m);
        ASSERT_FALSE(after == before) << "the edit changed nothing";
        ASSERT_TRUE(history.stack().canUndo());
        history.undo();
        EXPECT_TRUE(model_state(m) == before) << "undo";
        history.redo();
        EXPECT_TRUE(model_state(m) == after) << "redo";
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    EditHistory history{m};
};

// --- Every kind of edit undoes to the model before it and redoes to the model after it ---

TEST_F(EditHistoryTest, TypingThePatternRoundTrips) {
    load_project();
    expect_round_trip([&] { run_edit(m, typing_edit(m, TypedBox::Pattern, "2112")); });
    EXPECT_EQ(m.pattern_anime.text(), "2112");
}

TEST_F(EditHistoryTest, TypedTravelRoundTripsWithTheBarItMoved) {
    expect_round_trip([&] { run_edit(m, typing_edit(m, TypedBox::Travel, "7")); });
    EXPECT_EQ(m.sc_bar.value(), 7);
    history.undo();
    EXPECT_EQ(m.sc_bar.value(), 0);
    EXPECT_EQ(m.size_move.text(), "0");
}

TEST_F(EditHistoryTest, TypingTheBaseNameRoundTrips) {
    expect_round_trip([&] { run_edit(m, typing_edit(m, TypedBox::BaseName, "walk")); });
}

TEST_F(EditHistoryTest, ABaseOffsetBarInTheAdjustViewRoundTripsWithTheStage) {
    load_project();
    bt_set_click(m);
    const QImage stage_before = m.win_main.image();
    expect_round_trip([&] { run_edit(m, bar_edit(m, OffsetBar::BaseX, 9)); });
    EXPECT_EQ(m.offset_x.text(), "9");
    EXPECT_NE(m.win_main.image(), stage_before);
}

TEST_F(EditHistoryTest, TheTravelBarRoundTrips) {
    expect_round_trip([&] { run_edit(m, bar_edit(m, OffsetBar::Travel, -12)); });
    EXPECT_EQ(m.size_move.text(), "-12");
}

TEST_F(EditHistoryTest, ANudgeInFineAdjustmentRoundTripsWithItsStepShown) {
    load_project();
    enter_fine_adjust();
    expect_round_trip([&] { run_edit(m, std::make_unique<NudgeCommand>(m, 3)); });
    EXPECT_EQ(m.step_dx[0], 1);
    EXPECT_EQ(m.this_adjust_x.text(), "1");
}

TEST_F(EditHistoryTest, ResetRoundTrips) {
    load_project();
    m.adjust_x.set_value(5);
    m.adjust_y.set_value(-3);
    expect_round_trip([&] { run_edit(m, reset_edit(m)); });
    EXPECT_EQ(m.adjust_x.value(), 0);
    EXPECT_EQ(m.adjust_y.value(), 0);
}

TEST_F(EditHistoryTest, LoadingTheBackgroundRoundTripsWithStageRangesAndAdjustView) {
    load_project();
    bt_set_click(m);
    m.adjust_x.set_value(25);
    const QString wide = image_file("wide.png", test::solid(20, 6, qRgb(255, 255, 0)), "png");
    expect_round_trip([&] {
        run_edit(m, slot_load_edit(m, [&] {
                     QString message;
                     load_slot_file(m, 0, wide, false, message);
                 }));
    });
    EXPECT_EQ(m.adjust_mode, 0);
    EXPECT_EQ(m.adjust_x.max(), 20);
    history.undo();
    EXPECT_EQ(m.adjust_mode, 1);
    EXPECT_EQ(m.adjust_x.value(), 25);
    EXPECT_EQ(m.pic[0].width_px(), 30);
}

TEST_F(EditHistoryTest, ABackgroundWindowVisitRoundTripsAsOneStep) {
    const ProjectSnapshot opened = take_snapshot(m);
    BackgroundSettings form;
    Form5_Load(m, form);
    Form5_Option1_Click(m, form);
    ASSERT_TRUE(Form5_color_window_Click(m, form, 0x0000FF));
    form.Text1.set_text(QStringLiteral("12"));
    form.Text2.set_text(QStringLiteral("8"));
    ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
    const ModelState after = model_state(m);
    run_edit(m, background_edit(m, opened));
    EXPECT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_EQ(m.bg_color, 0xFFFFFFu);
    EXPECT_EQ(m.bg_from_file, -1);
    EXPECT_TRUE(take_snapshot(m) == opened);
    history.redo();
    EXPECT_TRUE(model_state(m) == after);
    EXPECT_EQ(m.pic[0].width_px(), 12);
}

TEST_F(EditHistoryTest, TheExportFolderRoundTrips) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("out"));
    const QString out = QDir(dir.path()).filePath("out");
    expect_round_trip(
        [&] { run_edit(m, export_folder_edit(m, [&] { m.export_lists.set_path(out); })); });
    EXPECT_EQ(m.export_lists.path(), out);
    history.undo();
    EXPECT_EQ(m.export_lists.path(), "/");
}

TEST_F(EditHistoryTest, AValueChangeRoundTripsAndMergesByKey) {
    expect_round_trip([&] {
        run_edit(m, value_edit(
                        m, "frame", [&] { m.export_settings.frame_ms = 100; }, 1));
    });
    run_edit(m, value_edit(
                    m, "frame", [&] { m.export_settings.frame_ms = 120; }, 1));
    run_edit(m, value_edit(
                    m, "loops", [&] { m.export_settings.loop_count = 3; }, 2));
    EXPECT_EQ(history.stack().count(), 2);
    history.undo();
    history.undo();
    EXPECT_EQ(m.export_settings.frame_ms, 80);
    EXPECT_EQ(m.export_settings.loop_count, 0);
}

// --- Merging ---

TEST_F(EditHistoryTest, NudgesOfOneStepMergeAndOneUndoTakesThemAllBack) {
    load_project();
    enter_fine_adjust();
    const ModelState before = model_state(m);
    for (int i = 0; i < 3; ++i) {
        run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    }
    run_edit(m, std::make_unique<NudgeCommand>(m, 1));
    const ModelState after = model_state(m);
    EXPECT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_TRUE(model_state(m) == before);
    EXPECT_FALSE(history.stack().canUndo());
    history.redo();
    EXPECT_TRUE(model_state(m) == after);
    EXPECT_EQ(m.step_dx[0], 3);
    EXPECT_EQ(m.step_dy[0], 1);
}

TEST_F(EditHistoryTest, NudgesOfDifferentStepsAreSeparateSteps) {
    load_project();
    enter_fine_adjust();
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    EXPECT_EQ(history.stack().count(), 2);
    history.undo();
    EXPECT_EQ(m.step_dx[0], 1);
    EXPECT_EQ(m.step_dx[1], 0);
}

TEST_F(EditHistoryTest, TypingMergesWithinOneSessionOnly) {
    run_edit(m, typing_edit(m, TypedBox::Pattern, "1"));
    run_edit(m, typing_edit(m, TypedBox::Pattern, "12"));
    run_edit(m, typing_edit(m, TypedBox::BaseName, "x"));
    run_edit(m, typing_edit(m, TypedBox::Pattern, "123"));
    EXPECT_EQ(history.stack().count(), 3);
    history.begin_merge_session();
    run_edit(m, typing_edit(m, TypedBox::Pattern, "1234"));
    EXPECT_EQ(history.stack().count(), 4);
    history.undo();
    EXPECT_EQ(m.pattern_anime.text(), "123");
    history.undo();
    history.undo();
    EXPECT_EQ(m.pattern_anime.text(), "12");
    EXPECT_EQ(m.basename.text(), "sample");
    history.undo();
    EXPECT_EQ(m.pattern_anime.text(), "");
    EXPECT_FALSE(history.stack().canUndo());
}

TEST_F(EditHistoryTest, OneDragOfABarIsOneStep) {
    for (int v : {1, 2, 3, 4}) {
        run_edit(m, bar_edit(m, OffsetBar::Travel, v));
    }
    history.begin_merge_session();
    run_edit(m, bar_edit(m, OffsetBar::Travel, 6));
    EXPECT_EQ(history.stack().count(), 2);
    history.undo();
    EXPECT_EQ(m.sc_bar.value(), 4);
    history.undo();
    EXPECT_EQ(m.sc_bar.value(), 0);
}

TEST_F(EditHistoryTest, TypingBackToTheStartLeavesNoStep) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "samplex"));
    run_edit(m, typing_edit(m, TypedBox::BaseName, "sample"));
    EXPECT_EQ(history.stack().count(), 0);
}

TEST_F(EditHistoryTest, AnEditAfterSavingDoesNotMergeIntoTheSavedStep) {
    load_project();
    enter_fine_adjust();
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    history.mark_saved(QStringLiteral("/tmp/x.pst"));
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    EXPECT_FALSE(history.is_clean());
    history.undo();
    EXPECT_TRUE(history.is_clean());
    EXPECT_EQ(m.step_dx[0], 1);
}

// --- Edits that change nothing ---

TEST_F(EditHistoryTest, ARefusedNudgeIsNoStepAndKeepsTheRedo) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "a"));
    history.undo();
    ASSERT_TRUE(history.stack().canRedo());
    // Outside fine adjustment an arrow button only parks the focus.
    run_edit(m, std::make_unique<NudgeCommand>(m, 0));
    EXPECT_EQ(m.last_focus_request, "pic_dummy");
    EXPECT_EQ(history.stack().count(), 1);
    EXPECT_TRUE(history.stack().canRedo());
}

// --- Modes are not undone; the stage follows the current mode ---

TEST_F(EditHistoryTest, UndoingANudgeAfterTheCursorMovedShowsTheNudgedStep) {
    load_project();
    enter_fine_adjust();
    const ModelState before = model_state(m);
    run_edit(m, std::make_unique<NudgeCommand>(m, 1));
    ASSERT_TRUE(form1_key_down(m, kKeyRight));
    ASSERT_EQ(m.edit_cursor, 1);
    history.undo();
    EXPECT_EQ(m.fine_adjust, 1);
    EXPECT_TRUE(model_state(m) == before);
}

TEST_F(EditHistoryTest, AnUndoAfterLeavingFineAdjustmentStaysOutOfIt) {
    load_project();
    enter_fine_adjust();
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    leave_fine_adjust(m);
    history.undo();
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_EQ(m.step_dx[0], 0);
    EXPECT_EQ(m.bt_set2.caption, "微調整ＯＮ");
}

TEST_F(EditHistoryTest, ThePreviewKeepsRunningInsideAShorterPattern) {
    load_project();
    run_edit(m, typing_edit(m, TypedBox::Pattern, "1212121"));
    anime_click(m);
    for (int i = 0; i < 5; ++i) {
        timer1_tick(m);
    }
    ASSERT_EQ(m.pattern_pos, 5);
    history.undo();
    EXPECT_EQ(m.anim_running, 1);
    EXPECT_EQ(m.pattern_pos, 0);
}

TEST_F(EditHistoryTest, UndoingIntoAnEmptyPatternEndsFineAdjustment) {
    run_edit(m, typing_edit(m, TypedBox::Pattern, "1"));
    history.begin_merge_session();
    enter_fine_adjust();
    run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    history.undo();
    history.undo();
    EXPECT_EQ(m.pattern_anime.text(), "");
    EXPECT_EQ(m.fine_adjust, 0);
    EXPECT_FALSE(m.pattern_anime.read_only());
}

// --- Bounded memory ---

TEST_F(EditHistoryTest, TheHistoryKeepsAtMostItsLimit) {
    for (int i = 0; i < kUndoLimit + 20; ++i) {
        history.begin_merge_session();
        run_edit(m, typing_edit(m, TypedBox::BaseName, QString::number(i)));
    }
    EXPECT_EQ(history.stack().count(), kUndoLimit);
}

TEST_F(EditHistoryTest, SnapshotsShareTheSlotImages) {
    load_project();
    // A blank surface makes its image on first use; make them all, then nothing may be copied.
    for (int i = 0; i < kSlotCount; ++i) {
        (void)m.pic[i].image();
    }
    (void)m.win_main.image();
    const ProjectSnapshot snapshot = take_snapshot(m);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(snapshot.pic[i].image().cacheKey(), m.pic[i].image().cacheKey()) << i;
    }
    EXPECT_EQ(snapshot.win_main.image().cacheKey(), m.win_main.image().cacheKey());
}

// --- Without a history ---

TEST(EditWithoutHistory, RunsTheHandlerOnce) {
    EditingModel m{QStringLiteral("/")};
    Form1_Load(m);
    int runs = 0;
    run_edit(m, value_edit(m, "x", [&] {
                 ++runs;
                 m.basename.set_text(QStringLiteral("once"));
             }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(m.basename.text(), "once");
    EXPECT_EQ(m.history, nullptr);
}

TEST(EditWithoutHistory, AHistoryDetachesWhenItGoes) {
    EditingModel m{QStringLiteral("/")};
    {
        EditHistory history(m);
        EXPECT_EQ(m.history, &history);
    }
    EXPECT_EQ(m.history, nullptr);
}

}  // namespace
}  // namespace koma
