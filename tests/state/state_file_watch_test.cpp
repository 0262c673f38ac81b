#include "state/state_file_watch.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/edit_history.h"
#include "model/typing_edit.h"
#include "state/quick_save.h"
#include "state/recorded_load_save.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/file_watch_helpers.h"
#include "support/image_files.h"

namespace koma {
namespace {

using test::read_bytes;

// A project read from walk.pst, clean, with its state file followed through a fake watch.
class StateFileWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        write_other("12");
        m.work_path = state;
        m.state_mode = 1;
        ASSERT_TRUE(recorded_load_save(m));
        ASSERT_TRUE(history.is_clean());
        watch_ = std::make_unique<StateFileWatch>(m, watch, clock.function());
    }
    /// Another program writes the state file with the pattern `pattern`.
    QByteArray write_other(const QString& pattern) {
        EditingModel other{QStringLiteral("/")};
        Form1_Load(other);
        other.pattern_anime.set_text(pattern);
        EXPECT_TRUE(write_state(other, state));
        return read_bytes(state);
    }
    void tell_and_wait(int ms = 200) {
        watch.touch(state);
        clock.now += ms;
        watch_->run_due();
    }
    void type_pattern(const QString& text) { run_edit(m, typing_edit(m, TypedBox::Pattern, text)); }

    QTemporaryDir dir;
    QString state = dir.filePath("walk.pst");
    EditingModel m{QStringLiteral("/")};
    EditHistory history{m};
    test::FakeFileWatch watch;
    test::FakeClock clock;
    std::unique_ptr<StateFileWatch> watch_;
};

TEST_F(StateFileWatchTest, WithoutUnsavedChangesTheFileIsReadAgainAsLoadReadsIt) {
    EXPECT_EQ(watch.watched, QStringList{state});
    write_other("1212");
    tell_and_wait();
    EXPECT_EQ(m.pattern_anime.text(), "1212");
    EXPECT_TRUE(history.is_clean());
    EXPECT_FALSE(m.status.failed());
    EXPECT_TRUE(m.status.message().contains("walk.pst"));
    // One step, undone as a LOAD is.
    history.undo();
    EXPECT_EQ(m.pattern_anime.text(), "12");
}

TEST_F(StateFileWatchTest, AStateFileStillBeingWrittenIsNotReadHalf) {
    const QByteArray whole = write_other("1212");
    QFile file(state);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Cut in the line of the pattern, before it.
    file.write(whole.left(whole.indexOf("\"1212\"")));
    file.close();
    tell_and_wait();
    EXPECT_EQ(m.pattern_anime.text(), "12");
    EXPECT_EQ(m.state_file, state);
    EXPECT_TRUE(history.is_clean());
    EXPECT_EQ(history.stack().count(), 1);
    ASSERT_TRUE(test::write_file(state, whole));
    tell_and_wait(150);
    tell_and_wait();
    EXPECT_EQ(m.pattern_anime.text(), "1212");
}

TEST_F(StateFileWatchTest, UnsavedChangesAreKeptAndCtrlSAsksBeforeWritingOver) {
    type_pattern("333");
    const QByteArray theirs = write_other("1212");
    tell_and_wait();
    EXPECT_EQ(m.pattern_anime.text(), "333");
    EXPECT_TRUE(m.status.failed());
    EXPECT_TRUE(m.status.message().contains("walk.pst"));
    EXPECT_TRUE(m.status.message().contains("変更されました"));

    QStringList asked;
    bool overwrite = false;
    history.ask_before_overwriting = [&](const QString& path) {
        asked << path;
        return overwrite;
    };
    EXPECT_EQ(quick_save(m), QuickSave::Kept);
    EXPECT_EQ(read_bytes(state), theirs);
    EXPECT_FALSE(history.is_clean());
    overwrite = true;
    EXPECT_EQ(quick_save(m), QuickSave::Written);
    EXPECT_EQ(asked, QStringList({state, state}));
    EXPECT_NE(read_bytes(state), theirs);
    // Written here: the next save asks nothing, and the watch sees no change of another's.
    tell_and_wait();
    type_pattern("3");
    EXPECT_EQ(quick_save(m), QuickSave::Written);
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(StateFileWatchTest, FollowingOffTellsTheChangeAndReadsNothingUntilOnAgain) {
    m.follow_files = false;
    m.notify();
    write_other("1212");
    tell_and_wait();
    EXPECT_EQ(m.pattern_anime.text(), "12");
    EXPECT_TRUE(m.status.failed());
    m.follow_files = true;
    m.notify();
    clock.now += 200;
    watch_->run_due();
    EXPECT_EQ(m.pattern_anime.text(), "1212");
}

}  // namespace
}  // namespace koma
