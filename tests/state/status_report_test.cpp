#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/typing_edit.h"
#include "state/quick_save.h"
#include "state/recorded_load_save.h"
#include "state/state_window_model.h"

namespace koma {
namespace {

class StatusReport : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
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

TEST_F(StatusReport, TheProjectLineFollowsSavesEditsAndUndo) {
    EXPECT_EQ(m.status.project_text(), "無題");
    run_edit(m, typing_edit(m, TypedBox::Pattern, "12"));
    EXPECT_EQ(m.status.project_text(), "無題 *");
    ASSERT_TRUE(run(2, dir.filePath("walk.pst")));
    EXPECT_EQ(m.status.project_text(), "walk.pst");
    EXPECT_EQ(m.status.message(), "保存しました: walk.pst");

    run_edit(m, typing_edit(m, TypedBox::BaseName, "x"));
    EXPECT_EQ(m.status.project_text(), "walk.pst *");
    history.undo();
    EXPECT_EQ(m.status.project_text(), "walk.pst");
    history.redo();
    m.status.report("");
    ASSERT_EQ(quick_save(m), QuickSave::Written);
    EXPECT_EQ(m.status.project_text(), "walk.pst");
    EXPECT_EQ(m.status.message(), "保存しました: walk.pst");
    ASSERT_TRUE(run(1, dir.filePath("walk.pst")));
    EXPECT_EQ(m.status.message(), "読み込みました: walk.pst");
}

TEST_F(StatusReport, TheStateWindowOpensWhereTheLastStateFileIs) {
    StateWindowModel first(m);
    first.open(2);
    EXPECT_EQ(first.lists.path(), "/");  // the start folder: nothing read or written yet
    ASSERT_TRUE(QDir(dir.path()).mkdir("project"));
    ASSERT_TRUE(run(2, dir.filePath("project/walk.pst")));
    StateWindowModel second(m);
    second.open(1);
    EXPECT_EQ(second.lists.path(), dir.filePath("project"));
}

}  // namespace
}  // namespace koma
