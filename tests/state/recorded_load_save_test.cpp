#include "state/recorded_load_save.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/slot_loader.h"
#include "model/typing_edit.h"
#include "state/quick_save.h"
#include "state/state_window_model.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/image_files.h"
#include "support/model_state.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::read_bytes;

class RecordedLoadSave : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString image(const QString& name, QRgb colour, int width) {
        EXPECT_TRUE(
            test::write_file(path(name), test::encoded(test::solid(width, 4, colour), "bmp")));
        return path(name);
    }
    // A state file written from a second model with other slots, pattern and name.
    QString other_project() {
        EditingModel other{QStringLiteral("/")};
        Form1_Load(other);
        QString message;
        EXPECT_TRUE(
            load_slot_file(other, 0, image("bg2.bmp", qRgb(0, 255, 0), 20), false, message));
        EXPECT_TRUE(load_slot_file(other, 1, image("f2.bmp", qRgb(255, 0, 0), 5), false, message));
        other.pattern_anime.set_text(QStringLiteral("111"));
        other.basename.set_text(QStringLiteral("other"));
        other.step_dx[1] = 4;
        EXPECT_TRUE(write_state(other, path("other.pst")));
        return path("other.pst");
    }
    LoadSaveResult run(int16_t mode, const QString& file) {
        m.state_mode = mode;
        m.work_path = file;
        return recorded_load_save(m);
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    EditHistory history{m};
};

// --- LOAD as one step ---

TEST_F(RecordedLoadSave, UndoingALoadRestoresEverySlotAndValue) {
    QString message;
    ASSERT_TRUE(load_slot_file(m, 0, image("bg1.bmp", qRgb(0, 0, 255), 30), false, message));
    ASSERT_TRUE(load_slot_file(m, 1, image("f1.bmp", qRgb(255, 255, 0), 3), false, message));
    m.pattern_anime.set_text(QStringLiteral("1"));
    const QString file = other_project();
    const test::ModelState before = test::model_state(m);
    ASSERT_TRUE(run(1, file));
    const test::ModelState after = test::model_state(m);
    ASSERT_EQ(m.pic[1].width_px(), 5);
    EXPECT_EQ(history.stack().count(), 1);
    history.undo();
    EXPECT_TRUE(test::model_state(m) == before);
    EXPECT_EQ(m.pic[0].width_px(), 30);
    EXPECT_EQ(m.slot_files[1], path("f1.bmp"));
    history.redo();
    EXPECT_TRUE(test::model_state(m) == after);
    EXPECT_EQ(m.basename.text(), "other");
}

// --- The clean state ---

TEST_F(RecordedLoadSave, ALoadLeavesTheModelCleanAtThatFile) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "dirty"));
    ASSERT_FALSE(history.is_clean());
    const QString file = other_project();
    ASSERT_TRUE(run(1, file));
    EXPECT_TRUE(history.is_clean());
    EXPECT_EQ(history.saved_path(), file);
    run_edit(m, typing_edit(m, TypedBox::BaseName, "x"));
    EXPECT_FALSE(history.is_clean());
    history.undo();
    EXPECT_TRUE(history.is_clean());
    history.undo();
    EXPECT_FALSE(history.is_clean());
}

TEST_F(RecordedLoadSave, LoadingAMissingFileNamesNoFileToSaveTo) {
    ASSERT_TRUE(run(1, path("none.pst")));
    EXPECT_TRUE(history.saved_path().isEmpty());
    EXPECT_EQ(history.stack().count(), 0);
}

TEST_F(RecordedLoadSave, SaveFromTheStateWindowMarksTheModelClean) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "saved"));
    StateWindowModel window(m);
    window.load();
    window.open(2);
    window.lists.set_path(dir.path());
    window.file_name.set_text(QStringLiteral("s"));
    ASSERT_TRUE(window.command1_click());
    EXPECT_TRUE(history.is_clean());
    EXPECT_EQ(history.saved_path(), dir.path() + "/s.pst");
    EXPECT_EQ(read_bytes(history.saved_path()), state_text(m).toUtf8());
}

// --- Ctrl+S ---

TEST_F(RecordedLoadSave, QuickSaveWithNoFileYetWritesNothing) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "x"));
    const auto saved = quick_save(m);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, QuickSave::NeedsName);
    EXPECT_FALSE(history.is_clean());
}

TEST_F(RecordedLoadSave, QuickSaveRewritesTheFileLastRead) {
    const QString file = other_project();
    ASSERT_TRUE(run(1, file));
    run_edit(m, typing_edit(m, TypedBox::BaseName, "changed"));
    const auto saved = quick_save(m);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, QuickSave::Written);
    EXPECT_TRUE(history.is_clean());
    EXPECT_EQ(read_bytes(file), state_text(m).toUtf8());
    EXPECT_TRUE(read_bytes(file).contains("changed"));
}

TEST_F(RecordedLoadSave, AFailedQuickSaveStaysUnsaved) {
    history.mark_saved(path("gone/p.pst"));
    run_edit(m, typing_edit(m, TypedBox::BaseName, "x"));
    EXPECT_FALSE(quick_save(m));
    EXPECT_FALSE(history.is_clean());
}

// --- What Ctrl+S writes is part of the history ---

TEST_F(RecordedLoadSave, UndoingALoadGivesBackTheFileCtrlSWritesAndItsCleanMark) {
    m.basename.set_text(QStringLiteral("mine"));
    ASSERT_TRUE(run(2, path("mine.pst")));
    const QString walk = other_project();
    const QByteArray walk_bytes = read_bytes(walk);
    ASSERT_TRUE(run(1, walk));
    history.undo();
    EXPECT_EQ(history.saved_path(), path("mine.pst"));
    EXPECT_TRUE(history.is_clean());
    ASSERT_EQ(quick_save(m), QuickSave::Written);
    EXPECT_EQ(read_bytes(walk), walk_bytes);
    EXPECT_TRUE(read_bytes(path("mine.pst")).contains("\"mine\""));
    history.redo();
    EXPECT_EQ(history.saved_path(), walk);
    EXPECT_TRUE(history.is_clean());
}

TEST_F(RecordedLoadSave, ANewNameGivenBySaveHoldsForTheStepsOfThatProject) {
    run_edit(m, typing_edit(m, TypedBox::BaseName, "a"));
    ASSERT_TRUE(run(2, path("named.pst")));
    history.undo();
    EXPECT_EQ(history.saved_path(), path("named.pst"));
    EXPECT_FALSE(history.is_clean());
    // The loaded project saved under a new name: redoing its LOAD brings the new name back, so
    // the file it was read from is not written again.
    history.redo();
    ASSERT_TRUE(run(1, other_project()));
    ASSERT_TRUE(run(2, path("walk2.pst")));
    history.undo();
    EXPECT_EQ(history.saved_path(), path("named.pst"));
    EXPECT_TRUE(history.is_clean());
    history.redo();
    EXPECT_EQ(history.saved_path(), path("walk2.pst"));
    EXPECT_TRUE(history.is_clean());
}

TEST_F(RecordedLoadSave, AReadThatBrokeOffHalfWayBelongsToNoFile) {
    history.mark_saved(path("mine.pst"));
    QByteArray cut = read_bytes(other_project());
    cut.truncate(cut.indexOf("\"111\"") + 3);
    ASSERT_TRUE(test::write_file(path("cut.pst"), cut));
    EXPECT_FALSE(run(1, path("cut.pst")));
    EXPECT_EQ(m.slot_files[1], path("f2.bmp"));
    EXPECT_TRUE(history.saved_path().isEmpty());
    history.undo();
    EXPECT_EQ(history.saved_path(), path("mine.pst"));
}

TEST_F(RecordedLoadSave, ASlotWhoseFileIsGoneIsEmptyAfterALoadAndComesBackOnUndo) {
    QString message;
    ASSERT_TRUE(load_slot_file(m, 1, image("mine1.bmp", qRgb(9, 9, 9), 6), false, message));
    const QString walk = other_project();
    ASSERT_TRUE(QFile::remove(path("f2.bmp")));
    ASSERT_TRUE(run(1, walk));
    EXPECT_TRUE(m.pic[1] == blank_slot_surface(1));
    EXPECT_EQ(m.slot_files[1], path("f2.bmp"));
    history.undo();
    EXPECT_EQ(m.pic[1].width_px(), 6);
}

TEST(RecordedLoadSaveWithoutHistory, IsPlainLoadSave) {
    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    Form1_Load(m);
    m.state_mode = 2;
    m.work_path = dir.filePath("p.pst");
    ASSERT_TRUE(recorded_load_save(m));
    EXPECT_EQ(read_bytes(m.work_path), state_text(m).toUtf8());
    const auto saved = quick_save(m);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, QuickSave::NeedsName);
}

}  // namespace
}  // namespace koma
