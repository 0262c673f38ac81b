#include "import/slot_follower.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "compose/adjust_view.h"
#include "compose/animation_preview.h"
#include "compose/startup.h"
#include "import/follow_files_setting.h"
#include "import/import_edits.h"
#include "model/edit_history.h"
#include "model/slot_loader.h"
#include "platform/system_file_watch.h"
#include "support/file_watch_helpers.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kYellow = qRgb(255, 255, 0);

QByteArray png(int width, int height, QRgb colour) {
    return test::encoded(test::solid(width, height, colour), "png");
}

// A model with a history, over image files in a temporary folder.
class SlotFollowerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(model);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    /// Loads the file into the slot as a click in the picker does, as one undo step.
    void load(int slot, const QString& name) {
        run_edit(model, slot_load_edit(model, [&] {
                     QString message;
                     EXPECT_TRUE(load_slot_file(model, slot, path(name), false, message));
                 }));
    }
    QRgb corner(int slot) const { return model.pic[static_cast<size_t>(slot)].pixel(0, 0); }

    QTemporaryDir dir;
    EditingModel model{QDir::currentPath()};
    EditHistory history{model};
};

// The real file system's notices: the slot takes the picture within the wait.
TEST_F(SlotFollowerTest, ASlotReloadsAFileRewrittenInPlaceOrReplacedByARename) {
    test::ensure_application();
    ASSERT_TRUE(test::write_file(path("walk.png"), png(3, 2, kRed)));
    load(1, "walk.png");
    SystemFileWatch watch;
    SlotFollower follower(model, watch);

    test::write_in_place(path("walk.png"), png(3, 2, kBlue));
    EXPECT_TRUE(test::wait_until([&] { return corner(1) == kBlue; }));
    test::replace_by_rename(path("walk.png"), png(5, 4, kGreen));
    EXPECT_TRUE(test::wait_until([&] { return corner(1) == kGreen; }));
    EXPECT_EQ(model.pic[1].width_px(), 5);
    // The file the rename put there is followed, not the one it took away.
    test::write_in_place(path("walk.png"), png(5, 4, kYellow));
    EXPECT_TRUE(test::wait_until([&] { return corner(1) == kYellow; }));
    EXPECT_EQ(model.slot_files[1], path("walk.png"));
    EXPECT_TRUE(model.status.message().contains("walk.png"));
    EXPECT_FALSE(model.status.failed());
}

class FollowerWithFakeWatch : public SlotFollowerTest {
  protected:
    void SetUp() override {
        SlotFollowerTest::SetUp();
        ASSERT_TRUE(test::write_file(path("a.png"), png(3, 2, kRed)));
        ASSERT_TRUE(test::write_file(path("b.png"), png(2, 2, kYellow)));
        load(1, "a.png");
        follower = std::make_unique<SlotFollower>(model, watch, clock.function());
    }
    /// Another program writes `bytes` into the file; its notices come and the follower's wait
    /// of `after_ms` passes.
    void change(const QString& name, const QByteArray& bytes, int after_ms = 200) {
        test::write_in_place(path(name), bytes);
        watch.touch(path(name));
        pass(after_ms);
    }
    void pass(int ms) {
        clock.now += ms;
        follower->run_due();
    }

    test::FakeFileWatch watch;
    test::FakeClock clock;
    std::unique_ptr<SlotFollower> follower;
};

TEST_F(FollowerWithFakeWatch, WatchesTheFilesOfFilledSlotsOnly) {
    EXPECT_EQ(watch.watched, QStringList{path("a.png")});
    load(2, "b.png");
    load(3, "a.png");
    EXPECT_EQ(watch.watched, QStringList({path("a.png"), path("b.png")}));
    // A slot loaded from another file follows that file instead.
    load(1, "b.png");
    load(3, "b.png");
    EXPECT_EQ(watch.watched, QStringList{path("b.png")});
    change("a.png", png(3, 2, kBlue));
    EXPECT_EQ(corner(1), kYellow);
}

TEST_F(FollowerWithFakeWatch, AHalfWrittenFileIsNeverLoaded) {
    const QByteArray whole = png(3, 2, kBlue);
    change("a.png", whole.left(whole.size() / 2));
    EXPECT_EQ(corner(1), kRed);
    pass(1000);
    EXPECT_EQ(corner(1), kRed);
    EXPECT_FALSE(model.status.failed());
    // The rest comes within the two seconds.
    change("a.png", whole, 150);
    EXPECT_EQ(corner(1), kRed);
    pass(50);
    EXPECT_EQ(corner(1), kBlue);

    // A JPEG cut short may decode already; it is not taken while it may still be written.
    const QByteArray jpeg = test::encoded(test::solid(64, 64, kGreen), "jpg");
    change("a.png", jpeg.left(jpeg.size() - 2));
    pass(1700);
    EXPECT_EQ(corner(1), kBlue);
    change("a.png", jpeg);
    EXPECT_EQ(qGreen(corner(1)), 255);
}

TEST_F(FollowerWithFakeWatch, AVanishedOrBrokenFileKeepsTheLastGoodPictureAndTheStatusSaysWhy) {
    ASSERT_TRUE(QFile::remove(path("a.png")));
    watch.touch(path("a.png"));
    pass(200);
    EXPECT_EQ(corner(1), kRed);
    EXPECT_TRUE(model.status.failed());
    EXPECT_TRUE(model.status.message().contains("「a.png」が見つかりません"));

    ASSERT_TRUE(test::write_file(path("a.png"), png(3, 2, kGreen)));
    watch.touch(path("a.png"));
    pass(200);
    EXPECT_EQ(corner(1), kGreen);
    EXPECT_FALSE(model.status.failed());

    change("a.png", "not a picture at all");
    EXPECT_FALSE(model.status.failed());  // still being written, perhaps
    pass(2000);
    EXPECT_EQ(corner(1), kGreen);
    EXPECT_TRUE(model.status.failed());
    EXPECT_TRUE(
        model.status.message().contains("「a.png」を読み込めません：画像として読み取れません"));
}

TEST_F(FollowerWithFakeWatch, AReloadIsNoEditAndUndoNeverBringsBackAStalePicture) {
    history.mark_saved(path("walk.pst"));
    ASSERT_TRUE(history.is_clean());
    change("a.png", png(3, 2, kBlue));
    EXPECT_EQ(corner(1), kBlue);
    EXPECT_EQ(history.stack().count(), 1);
    EXPECT_TRUE(history.is_clean());
    EXPECT_FALSE(model.status.unsaved());

    load(2, "b.png");
    history.undo();
    EXPECT_EQ(corner(1), kBlue);
    history.undo();  // before a.png was loaded
    EXPECT_NE(corner(1), kBlue);
    history.redo();
    EXPECT_EQ(corner(1), kBlue);
    history.redo();
    EXPECT_EQ(corner(1), kBlue);
    EXPECT_EQ(corner(2), kYellow);
}

TEST_F(FollowerWithFakeWatch, TheBackgroundFitsStageAndRangesAndComposedStagesShowItAtOnce) {
    ASSERT_TRUE(test::write_file(path("bg.png"), png(6, 4, kGreen)));
    load(0, "bg.png");
    model.adjust_mode = 1;
    adjust_view(model);
    change("bg.png", png(8, 5, kBlue));
    EXPECT_EQ(model.win_main.width_px(), 8);
    EXPECT_EQ(model.win_main.height_px(), 5);
    EXPECT_EQ(model.adjust_x.max(), 8);
    EXPECT_EQ(model.adjust_y.min(), -5);
    EXPECT_EQ(model.adjust_mode, 1);
    EXPECT_EQ(model.win_main.pixel(7, 4), kBlue);

    // The preview shows the frame again on the step it is at.
    model.adjust_mode = 0;
    model.pattern_anime.set_text("1");
    anime_click(model);
    model.pattern_pos = 0;
    // Keyed on magenta, its top-left colour.
    change("a.png", test::encoded(test::from_rows({"MYY", "YYY"}), "png"));
    EXPECT_EQ(model.win_main.pixel(0, 0), kBlue);
    EXPECT_EQ(model.win_main.pixel(2, 1), kYellow);
}

TEST_F(FollowerWithFakeWatch, FollowingOffReadsNothingAndOnAgainCatchesUp) {
    model.follow_files = false;
    model.notify();
    EXPECT_TRUE(watch.watched.isEmpty());
    change("a.png", png(3, 2, kBlue));
    EXPECT_EQ(corner(1), kRed);
    model.follow_files = true;
    model.notify();
    EXPECT_EQ(watch.watched, QStringList{path("a.png")});
    pass(200);
    EXPECT_EQ(corner(1), kBlue);
}

TEST(FollowFilesSettingTest, OnUntilTheUserSwitchesItOff) {
    QTemporaryDir dir;
    const QString file = dir.filePath("koma.conf");
    EXPECT_TRUE(FollowFilesSetting(file).load());
    FollowFilesSetting(file).save(false);
    EXPECT_FALSE(FollowFilesSetting(file).load());
    FollowFilesSetting(file).save(true);
    EXPECT_TRUE(FollowFilesSetting(file).load());
}

}  // namespace
}  // namespace koma
