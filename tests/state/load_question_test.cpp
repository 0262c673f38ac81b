#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/recent_projects.h"
#include "model/typing_edit.h"
#include "state/state_window_model.h"
#include "state/write_state.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;

class FakeRecent : public RecentProjects {
  public:
    QStringList list;
    QStringList paths() const override { return list; }
    void remember(const QString& path) override { list = with_recent(list, path); }
};

// The state window over a project with unsaved changes, and other.pst to LOAD.
class LoadQuestion : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        m.recent = &recent;
        history.ask_before_replacing = [this](const QString& path) {
            asked << path;
            return answer;
        };
        EditingModel other{dir.path()};
        Form1_Load(other);
        other.basename.set_text(QStringLiteral("other"));
        ASSERT_TRUE(write_state(other, path("other.pst")));
        window.load();
        window.open(1);
        run_edit(m, typing_edit(m, TypedBox::BaseName, "mine"));
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    StateOutcome ok_on(const QString& name) {
        window.file_name.set_text(name);
        return window.command1_click();
    }

    QTemporaryDir dir;
    EditingModel m{dir.path()};
    EditHistory history{m};
    FakeRecent recent;
    StateWindowModel window{m};
    QStringList asked;
    UnsavedAnswer answer = UnsavedAnswer::Cancel;
};

TEST_F(LoadQuestion, SaveWritesTheProjectsOwnFileFirst) {
    history.mark_saved(path("mine.pst"));
    run_edit(m, typing_edit(m, TypedBox::BaseName, "mine2"));
    answer = UnsavedAnswer::Save;
    ASSERT_TRUE(ok_on("other.pst"));
    EXPECT_TRUE(read_bytes(path("mine.pst")).contains("\"mine2\""));
    EXPECT_EQ(m.basename.text(), "other");
}

TEST_F(LoadQuestion, SaveWithNoFileYetAsksForANameAndReadsAfterThatSave) {
    answer = UnsavedAnswer::Save;
    ASSERT_TRUE(ok_on("other.pst"));
    EXPECT_EQ(m.state_mode, 2);
    EXPECT_EQ(window.file_name.text(), "");
    EXPECT_FALSE(window.take_notice().isEmpty());
    EXPECT_EQ(m.basename.text(), "mine");
    // Saving over the very file to be read would lose it: refused, the window stays.
    const QByteArray other = read_bytes(path("other.pst"));
    EXPECT_FALSE(ok_on("other.pst"));
    EXPECT_EQ(read_bytes(path("other.pst")), other);
    EXPECT_FALSE(window.close_requested);

    ASSERT_TRUE(ok_on("named"));
    EXPECT_TRUE(read_bytes(path("named.pst")).contains("\"mine\""));
    EXPECT_EQ(m.basename.text(), "other");
    EXPECT_EQ(recent.list, QStringList({path("other.pst"), path("named.pst")}));
}

TEST(RecentList, TheLastFileComesFirstOnceAndTheListStopsAtTen) {
    QStringList list;
    for (int i = 0; i < 12; ++i) {
        list = with_recent(list, QStringLiteral("/p/%1.pst").arg(i));
    }
    list = with_recent(list, QStringLiteral("/p/5.pst"));
    ASSERT_EQ(list.size(), kRecentLimit);
    EXPECT_EQ(list.front(), "/p/5.pst");
    EXPECT_EQ(list.count("/p/5.pst"), 1);
    EXPECT_EQ(list.back(), "/p/2.pst");
}

}  // namespace
}  // namespace koma
