#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/recovery_question.h"
#include "app/start_session.h"
#include "compose/startup.h"
#include "model/edit_history.h"
#include "open_main_window.h"
#include "recovery_child.h"
#include "state/quick_save.h"
#include "state/recovery_copy.h"
#include "state/recovery_folder.h"
#include "state/recovery_keeper.h"
#include "state/write_state.h"
#include "support/file_bytes.h"

namespace koma {

int test::recovery_child_main() {
    const QString folder = qEnvironmentVariable(kRecoveryChildFolder);
    const QString state = qEnvironmentVariable(kRecoveryChildState);
    EditingModel model(QFileInfo(state).absolutePath());
    Form1_Load(model);
    EditHistory history(model);
    Form1 window(model);
    window.show();
    RecoveryFolder store(folder);
    RecoveryKeeper keeper(model, store);
    start_session(window, store, keeper, {QStringLiteral("koma"), state},
                  [](const RecoveryCopy&, std::size_t) { return false; });
    window.bt_set2->click();
    window.bt_arrow[3]->click();
    const bool copied = QTest::qWaitFor(
        [&] { return !QDir(folder).entryList({QStringLiteral("*.recovery")}).isEmpty(); }, 10000);
    std::printf(copied ? "copied\n" : "not copied\n");
    std::fflush(stdout);
    return QApplication::exec();
}

namespace {

// Recovery copies in memory.
class FakeStore : public RecoveryStore {
  public:
    /// The copies of ended processes, newest first.
    std::vector<RecoveryCopy> ended;
    QByteArray own;
    int keeps = 0;

    std::expected<void, QString> keep(const QByteArray& bytes) override {
        own = bytes;
        ++keeps;
        return {};
    }
    void drop() override { own.clear(); }
    std::vector<RecoveryCopy> orphans() override { return ended; }
    void discard(const QString& id) override {
        std::erase_if(ended, [&](const RecoveryCopy& copy) { return copy.id == id; });
    }
};

class RecoveryView : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
        window = test::open_main_window(model);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // A copy left by another koma: its project has the base name `name` and belongs to `file`.
    void leave_copy(const QString& id, const QString& name, const QString& file) {
        EditingModel other{dir.path()};
        Form1_Load(other);
        other.basename.set_text(name);
        other.state_file = file;
        store.ended.push_back({id, recovery_copy_bytes(other), QDateTime::currentDateTime()});
    }

    QTemporaryDir dir;
    EditingModel model{QStringLiteral("/")};
    EditHistory history{model};
    std::unique_ptr<Form1> window;
    FakeStore store;
    RecoveryKeeper keeper{model, store};
};

TEST_F(RecoveryView, AnEditIsCopiedWithinTwoSecondsAndASaveRemovesTheCopy) {
    window->basename->setFocus();
    QTest::keyClicks(window->basename, QStringLiteral("x"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.keeps == 1; }, 2000));
    EXPECT_EQ(store.own, recovery_copy_bytes(model));
    history.mark_saved(path("p.pst"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.own.isEmpty(); }, 2000));
}

TEST_F(RecoveryView, RestoringAsksOnceBeforeAFileArgumentWhichThenAsksBeforeReplacingIt) {
    EditingModel other{dir.path()};
    Form1_Load(other);
    ASSERT_TRUE(write_state(other, path("open.pst")));
    QStringList asked;
    window->ask_unsaved_load = [&](const QString& file) {
        asked << file;
        return UnsavedAnswer::Cancel;
    };
    leave_copy("a", QStringLiteral("restored"), QString());
    leave_copy("b", QStringLiteral("older"), path("mine.pst"));
    int questions = 0;
    start_session(*window, store, keeper, {QStringLiteral("koma"), path("open.pst")},
                  [&](const RecoveryCopy&, std::size_t count) {
                      return ++questions == 1 && count == 2 && asked.isEmpty();
                  });
    EXPECT_EQ(questions, 1);
    // A project never saved comes back too, unsaved; this process holds it in a copy of its
    // own, and the older copy waits for the next start.
    EXPECT_EQ(window->basename->text(), "restored");
    EXPECT_FALSE(history.is_clean());
    EXPECT_EQ(store.own, recovery_copy_bytes(model));
    ASSERT_EQ(store.ended.size(), 1u);
    EXPECT_EQ(asked, QStringList{path("open.pst")});
    // The other answer throws every copy away.
    start_session(*window, store, keeper, {QStringLiteral("koma")},
                  [](const RecoveryCopy&, std::size_t) { return false; });
    EXPECT_TRUE(store.ended.empty());
}

TEST_F(RecoveryView, TheQuestionRestoresOnEnterAndIgnoresEscape) {
    leave_copy("a", QStringLiteral("x"), path("walk.pst"));
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->text().contains(QStringLiteral("「walk.pst」")));
        QTest::keyClick(box, Qt::Key_Escape);
        QTimer::singleShot(0, [box = QPointer<QMessageBox>(box)] {
            if (box) QTest::keyClick(box, Qt::Key_Return);
        });
    });
    EXPECT_TRUE(ask_restore(window.get(), store.ended.front(), 1));
}

// The recovery copy of a window that is killed: a child process runs the window on a state
// file, nudges a step and is killed once its copy is written; the next start restores it.
TEST(RecoveryAfterKill, TheNudgeOfAKilledWindowComesBackAndCtrlSWritesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString state = dir.filePath("walk.pst");
    const QString folder = dir.filePath("recovery");
    {
        EditingModel project{dir.path()};
        Form1_Load(project);
        project.pattern_anime.set_text(QStringLiteral("11"));
        ASSERT_TRUE(write_state(project, state));
    }
    const QByteArray saved = test::read_bytes(state);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(test::kRecoveryChildFolder), folder);
    env.insert(QLatin1String(test::kRecoveryChildState), state);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QByteArray out;
    while (!out.contains('\n') && child.waitForReadyRead(30000)) {
        out += child.readAllStandardOutput();
    }
    ASSERT_EQ(out, "copied\n");
    child.kill();  // SIGKILL: nothing of the program runs any more
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(test::read_bytes(state), saved);

    EditingModel model{dir.path()};
    Form1_Load(model);
    EditHistory history{model};
    auto window = test::open_main_window(model);
    RecoveryFolder store(folder);
    RecoveryKeeper keeper(model, store);
    start_session(*window, store, keeper, {QStringLiteral("koma")},
                  [](const RecoveryCopy&, std::size_t) { return true; });
    EXPECT_EQ(model.step_dx[0], 1);
    EXPECT_EQ(history.saved_path(), state);
    EXPECT_FALSE(history.is_clean());
    ASSERT_EQ(quick_save(model), QuickSave::Written);
    EXPECT_EQ(test::read_bytes(state), state_text(model).toUtf8());
    keeper.finish();
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("*.recovery")}).isEmpty());
}

}  // namespace
}  // namespace koma
