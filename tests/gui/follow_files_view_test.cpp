#include <gtest/gtest.h>

#include <QCheckBox>
#include <QKeySequence>
#include <QTemporaryDir>
#include <QTest>

#include "app/main_window.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "open_main_window.h"
#include "state/recorded_load_save.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/file_watch_helpers.h"

namespace koma {
namespace {

class FollowFilesView : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        window = test::open_main_window(model);
    }
    QTemporaryDir dir;
    EditingModel model{dir.path()};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
};

TEST_F(FollowFilesView, TheToggleSitsInFreeSpaceAndSwitchesFollowingInTheModel) {
    QCheckBox* toggle = window->follow_files;
    ASSERT_NE(toggle, nullptr);
    EXPECT_TRUE(toggle->isChecked());
    // The controls sit on the stage layout's canvas.
    QWidget* canvas = toggle->parentWidget();
    EXPECT_TRUE(canvas->rect().contains(toggle->geometry()));
    for (QWidget* other : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != toggle && other->isVisible()) {
            EXPECT_FALSE(other->geometry().intersects(toggle->geometry()))
                << other->metaObject()->className() << " " << other->objectName().toStdString();
        }
    }
    QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(8, toggle->height() / 2));
    EXPECT_FALSE(model.follow_files);
    model.follow_files = true;
    model.notify();
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(FollowFilesView, CtrlSAsksTheWindowsQuestionBeforeWritingOverAStateFileChangedOnDisk) {
    const QString state = dir.filePath("walk.pst");
    ASSERT_TRUE(write_state(model, state));
    model.work_path = state;
    model.state_mode = 1;
    ASSERT_TRUE(recorded_load_save(model));
    QStringList asked;
    window->ask_overwrite_changed = [&](const QString& path) {
        asked << path;
        return false;
    };
    test::write_in_place(state, "changed by another program");
    EXPECT_FALSE(window->quick_save());
    EXPECT_EQ(asked, QStringList{state});
    EXPECT_EQ(test::read_bytes(state), "changed by another program");
}

}  // namespace
}  // namespace koma
