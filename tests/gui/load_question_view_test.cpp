#include <gtest/gtest.h>

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/main_window.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/recent_projects.h"
#include "open_main_window.h"
#include "state/state_window.h"
#include "state/write_state.h"

namespace koma {
namespace {

class FakeRecent : public RecentProjects {
  public:
    QStringList list;
    QStringList paths() const override { return list; }
    void remember(const QString& path) override { list = with_recent(list, path); }
};

class LoadQuestionView : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        model.recent = &recent;
        window = test::open_main_window(model);
        window->ask_unsaved_load = [this](const QString& path) {
            asked << path;
            return answer;
        };
        EditingModel other{dir.path()};
        Form1_Load(other);
        other.basename.set_text(QStringLiteral("walk"));
        ASSERT_TRUE(write_state(other, dir.filePath("walk.pst")));
    }
    void type_in_basename(const QString& text) {
        window->basename->setFocus();
        QTest::keyClicks(window->basename, text);
    }
    void drop_walk() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir.filePath("walk.pst"))});
        const QPoint at = window->bt_exec->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
    }

    QTemporaryDir dir;
    EditingModel model{dir.path()};
    EditHistory history{model};
    FakeRecent recent;
    std::unique_ptr<Form1> window;
    QStringList asked;
    UnsavedAnswer answer = UnsavedAnswer::Cancel;
};

TEST_F(LoadQuestionView, ADroppedStateFileOverUnsavedChangesAsksAndCancelKeepsThem) {
    type_in_basename(QStringLiteral("x"));
    drop_walk();
    EXPECT_EQ(asked, QStringList{dir.filePath("walk.pst")});
    EXPECT_EQ(window->basename->text(), "samplex");
    answer = UnsavedAnswer::Discard;
    drop_walk();
    EXPECT_EQ(window->basename->text(), "walk");
}

TEST_F(LoadQuestionView, TheStateWindowListsRecentFilesAndReadsOneOnADoubleClick) {
    recent.list = {dir.filePath("gone.pst"), dir.filePath("walk.pst")};
    Form3* form = open_state_window(model, 2, window.get());
    QListWidget* list = form->recent_list;
    // In free space of the window.
    for (QWidget* other : std::initializer_list<QWidget*>{form->Command1, form->File1,
                                                          form->file_name, form->Combo1}) {
        EXPECT_FALSE(list->geometry().intersects(other->geometry()));
    }
    EXPECT_TRUE(form->rect().contains(list->geometry()));
    ASSERT_EQ(list->count(), 2);
    EXPECT_TRUE(list->item(0)->text().contains(QStringLiteral("ありません")));
    EXPECT_EQ(list->item(0)->flags(), Qt::NoItemFlags);
    const QPoint at = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(window->basename->text(), "walk");
    EXPECT_TRUE(form->closing());
}

}  // namespace
}  // namespace koma
