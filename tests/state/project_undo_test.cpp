#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "adjust/adjust_edits.h"
#include "adjust/background_settings.h"
#include "adjust/fine_adjust.h"
#include "compose/nudge_command.h"
#include "compose/pattern_cursor.h"
#include "compose/startup.h"
#include "export/export_settings_edit.h"
#include "import/import_edits.h"
#include "model/edit_history.h"
#include "model/slot_loader.h"
#include "model/typing_edit.h"
#include "state/write_state.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

// Every value a state file holds goes through undo: each kind of edit changes what the file
// would hold, and undoing it gives back the same bytes as before, redoing it the same bytes as
// after. A value missing from the project state would come back wrong here.
class ProjectUndoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
        QString message;
        ASSERT_TRUE(load_slot_file(m, 0, image("bg.bmp", test::solid(40, 16, qRgb(0, 0, 255))),
                                   false, message));
        ASSERT_TRUE(load_slot_file(m, 1, image("a.bmp", test::from_rows({"WRRW", "WRRW"})), false,
                                   message));
        m.pattern_anime.set_text(QStringLiteral("1212"));
        m.export_lists.set_path(dir.path());
    }

    QString image(const QString& name, const QImage& picture) {
        const QString path = QDir(dir.path()).filePath(name);
        EXPECT_TRUE(test::write_file(path, test::encoded(picture, "bmp")));
        return path;
    }

    void expect_file_round_trip(const char* what, const std::function<void()>& edit) {
        SCOPED_TRACE(what);
        const QString before = state_text(m);
        edit();
        const QString after = state_text(m);
        ASSERT_NE(after, before) << "the edit changed nothing a state file holds";
        history.undo();
        EXPECT_EQ(state_text(m), before) << "undo";
        history.redo();
        EXPECT_EQ(state_text(m), after) << "redo";
        history.undo();
        EXPECT_EQ(state_text(m), before) << "undo again";
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    EditHistory history{m};
};

TEST_F(ProjectUndoTest, EveryValueAStateFileHoldsComesBackByteForByte) {
    // Part 1: a slot's path; loading slot 0 also moves the offset ranges and the stage.
    expect_file_round_trip("slot 3", [&] {
        run_edit(m, slot_load_edit(m, [&] {
                     QString message;
                     load_slot_file(m, 3, image("c.bmp", test::solid(3, 3, qRgb(9, 9, 9))), false,
                                    message);
                 }));
    });
    expect_file_round_trip("slot 0", [&] {
        run_edit(m, slot_load_edit(m, [&] {
                     QString message;
                     load_slot_file(m, 0, image("bg2.bmp", test::solid(20, 8, qRgb(0, 9, 0))),
                                    false, message);
                 }));
    });
    // Part 2: the three bars, the pattern, the export folder, the base name.
    expect_file_round_trip("adjust_x", [&] { run_edit(m, bar_edit(m, OffsetBar::BaseX, 7)); });
    expect_file_round_trip("adjust_y", [&] { run_edit(m, bar_edit(m, OffsetBar::BaseY, -3)); });
    expect_file_round_trip("sc_bar", [&] { run_edit(m, bar_edit(m, OffsetBar::Travel, -12)); });
    expect_file_round_trip("pattern",
                           [&] { run_edit(m, typing_edit(m, TypedBox::Pattern, "12121")); });
    expect_file_round_trip("travel typed",
                           [&] { run_edit(m, typing_edit(m, TypedBox::Travel, "4")); });
    expect_file_round_trip("export folder", [&] {
        run_edit(m, export_folder_edit(
                        m, [&] { m.export_lists.set_path(QDir(dir.path()).filePath("out")); }));
    });
    expect_file_round_trip("base name",
                           [&] { run_edit(m, typing_edit(m, TypedBox::BaseName, "walk")); });
    // Part 3: the deltas of a step, nudged in fine adjustment.
    bt_set2_click(m);
    ASSERT_EQ(m.fine_adjust, 1);
    expect_file_round_trip("nudge", [&] {
        form1_key_down(m, kKeyRight);
        run_edit(m, std::make_unique<NudgeCommand>(m, 0));
        run_edit(m, std::make_unique<NudgeCommand>(m, 3));
    });
    leave_fine_adjust(m);
    // Part 4: a plain background of another colour and size.
    expect_file_round_trip("plain background", [&] {
        const ProjectSnapshot opened = take_snapshot(m);
        BackgroundSettings form;
        Form5_Load(m, form);
        Form5_Option1_Click(m, form);
        Form5_color_window_Click(m, form, 0x0000FFu);
        form.Text1.set_text(QStringLiteral("30"));
        form.Text2.set_text(QStringLiteral("10"));
        ASSERT_EQ(Form5_Command1_Click(m, form), BackgroundOkResult::Closed);
        run_edit(m, background_edit(m, opened));
    });
    // The extension record: the export settings.
    expect_file_round_trip("export settings", [&] {
        run_edit(m, value_edit(m, QStringLiteral("出力設定"), [&] {
                     choose_output_format(m, OutputFormat::Apng);
                     ASSERT_TRUE(set_frame_ms(m, 40).has_value());
                     ASSERT_TRUE(set_loop_count(m, 3).has_value());
                     set_transparent(m, true);
                 }));
    });
}

}  // namespace
}  // namespace koma
