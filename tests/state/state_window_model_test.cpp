#include "state/state_window_model.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "platform/file_system.h"
#include "state/state_argument.h"
#include "state/write_state.h"
#include "support/fake_file_system.h"
#include "support/fine_adjust_checks.h"

namespace koma {
namespace {

void touch(const QString& path, const QByteArray& bytes = QByteArray()) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class StateWindowModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(main);
    }
    QTemporaryDir dir;
    EditingModel main{dir.path()};
    StateWindowModel window{main};
};

TEST(CompletedStateName, OnlyExactExtensionsOfLongerNamesAreKept) {
    EXPECT_EQ(completed_state_name("anim.PST"), "anim.PST");
    EXPECT_EQ(completed_state_name("anim.pst"), "anim.pst");
    EXPECT_EQ(completed_state_name("a.pst"), "a.pst");
    EXPECT_EQ(completed_state_name("anim.Pst"), "anim.Pst.pst");
    EXPECT_EQ(completed_state_name(".pst"), ".pst.pst");
    EXPECT_EQ(completed_state_name(".PST"), ".PST.pst");
    EXPECT_EQ(completed_state_name(""), ".pst");
    EXPECT_EQ(completed_state_name("walk"), "walk.pst");
    EXPECT_EQ(completed_state_name("歩く.pst"), "歩く.pst");
}

TEST_F(StateWindowModelTest, CreationLeavesFineAdjustmentAndOpeningGoesToTheProgramsFolder) {
    main.fine_adjust = 1;
    main.bt_set2.caption = QStringLiteral("微調整ＯＦＦ");
    main.pattern_anime.set_text(QStringLiteral("12345"));
    main.pattern_anime.set_read_only(true);
    main.pattern_anime.select(3, 1);
    main.edit_cursor = 3;
    main.pointer_k_left = 66;
    main.path_ref.caption = QStringLiteral("/elsewhere");
    touch(dir.filePath("b.pst"));
    touch(dir.filePath("A.PST"));
    touch(dir.filePath("c.txt"));
    touch(dir.filePath(".hidden.pst"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder.pst"));

    window.load();
    window.open(2);
    test::expect_fine_adjust_left(main);
    EXPECT_EQ(main.pattern_anime.text(), "12345");

    EXPECT_EQ(window.File1.pattern(), "*.pst");
    EXPECT_EQ(window.lists.drive(), machine_file_system().root_of(dir.path()));
    EXPECT_EQ(window.lists.path(), dir.path());
    EXPECT_EQ(main.path_ref.caption, dir.path());
    EXPECT_EQ(main.state_mode, 2);
    // A name that begins with a dot is a state file like any other.
    EXPECT_EQ(window.File1.names(), QStringList({".hidden.pst", "A.PST", "b.pst"}));
    EXPECT_EQ(window.File1.selected(), -1);

    // "LOAD" after "SAVE" while the window is open: "OK" now reads.
    window.open(1);
    EXPECT_EQ(main.state_mode, 1);
}

TEST_F(StateWindowModelTest, EnterCompletesTheNameAndWritesInTheFolderShown) {
    window.load();
    window.open(2);
    main.basename.set_text(QStringLiteral("walking"));
    window.file_name.set_text(QStringLiteral("walk"));
    EXPECT_TRUE(window.file_name_key_press('a').has_value());
    EXPECT_FALSE(window.close_requested);
    EXPECT_FALSE(QFile::exists(dir.filePath("walk")));

    ASSERT_TRUE(window.file_name_key_press(13).has_value());
    EXPECT_EQ(window.file_name.text(), "walk.pst");
    EXPECT_EQ(main.work_path, dir.path() + "/walk.pst");
    EXPECT_TRUE(QFile::exists(dir.filePath("walk.pst")));
    EXPECT_TRUE(window.close_requested);
}

TEST_F(StateWindowModelTest, ClickingAListedFileNamesItAndOkReadsIt) {
    main.basename.set_text(QStringLiteral("saved"));
    main.work_path = dir.filePath("sample.pst");
    main.state_mode = 2;
    StateWindowModel saver(main);
    saver.load();
    saver.open(2);
    saver.file_name.set_text(QStringLiteral("sample.pst"));
    ASSERT_TRUE(saver.command1_click().has_value());
    main.basename.set_text(QStringLiteral("changed"));

    window.load();
    window.open(1);
    ASSERT_EQ(window.File1.names(), QStringList{"sample.pst"});
    window.file1_click(5);
    EXPECT_EQ(window.file_name.text(), "");
    window.file1_click(0);
    EXPECT_EQ(window.file_name.text(), "sample.pst");
    EXPECT_EQ(window.File1.selected(), 0);
    ASSERT_TRUE(window.command1_click().has_value());
    EXPECT_EQ(main.basename.text(), "saved");
}

TEST_F(StateWindowModelTest, ADoubleClickWithSaveWritesOverTheListedFileAsItIsNamed) {
    touch(dir.filePath("old.PST"), "\"old\"\r\n");
    window.load();
    window.open(2);
    window.file1_click(0);
    ASSERT_TRUE(window.file1_double_click().has_value());
    EXPECT_EQ(main.work_path, dir.path() + "/old.PST");
    QFile file(dir.filePath("old.PST"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("#TRUE#,16777215,80,50\r\n\"#KOMA#\""));
    EXPECT_FALSE(QFile::exists(dir.filePath("old.PST.pst")));
    EXPECT_TRUE(window.close_requested);
}

TEST_F(StateWindowModelTest, ReadingAMissingOrDamagedFileReportsOnlyTheDamage) {
    window.load();
    window.open(1);
    window.file_name.set_text(QStringLiteral("missing"));
    EXPECT_TRUE(window.command1_click().has_value());
    EXPECT_EQ(main.work_path, dir.path() + "/missing.pst");

    touch(dir.filePath("bad.pst"), "\"unclosed");
    window.file_name.set_text(QStringLiteral("bad.pst"));
    auto result = window.command1_click();
    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(result.error().contains(QStringLiteral("1 行目")));
}

TEST_F(StateWindowModelTest, AFolderChangeInTheWindowRelistsAndMovesPathRef) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("sub"));
    touch(dir.filePath("sub/x.pst"));
    window.load();
    window.open(2);
    window.file1_click(0);
    window.lists.set_path(dir.filePath("sub"));
    EXPECT_EQ(window.File1.names(), QStringList{"x.pst"});
    EXPECT_EQ(window.File1.selected(), -1);
    EXPECT_EQ(main.path_ref.caption, dir.filePath("sub"));
    // The main window's export lists are another pair.
    EXPECT_EQ(main.export_lists.path(), dir.path());
}

TEST_F(StateWindowModelTest, NamesThatBeginWithADotAreListedAndChosenLikeAnyOther) {
    // "OK" makes ".pst" of an empty name and ".pst.pst" of ".pst": the list must show them.
    touch(dir.filePath(".pst"));
    touch(dir.filePath(".pst.pst"));
    touch(dir.filePath("walk.pst"));
    touch(dir.filePath(".hidden.txt"));
    window.load();
    window.open(1);
    EXPECT_EQ(window.File1.names(), (QStringList{".pst", ".pst.pst", "walk.pst"}));
    window.file1_click(1);
    EXPECT_EQ(window.file_name.text(), ".pst.pst");
}

// The window over a file system in memory, with a root that can be made not ready.
class StateWindowOnFake : public ::testing::Test {
  protected:
    void SetUp() override {
        fs.root_list = {"/", "/media/cd", "/media/usb"};
        fs.folders["/"] = {{"home", "media"}, {}};
        fs.folders["/home/me"] = {{}, {"a.pst", "B.PST", "c.Pst", "d.pstx", "e.txt"}};
        fs.folders["/media/usb"] = {{"koma"}, {"top.PST"}};
        fs.folders["/media/usb/koma"] = {{}, {"walk.pst"}};
        window.lists.on_not_ready = [this](const QString& m) { messages.append(m); };
        window.load();
    }
    test::FakeFileSystem fs;
    EditingModel main{QStringLiteral("/media/usb/koma")};
    StateWindowModel window{main, &fs};
    QStringList messages;
};

TEST_F(StateWindowOnFake, OpeningGoesToTheProgramsDriveAndFolderAndListsStateFilesInAnyCase) {
    main.path_ref.caption = QStringLiteral("/home/me");
    window.open(1);
    EXPECT_EQ(window.lists.drive(), "/media/usb");
    EXPECT_EQ(window.lists.path(), "/media/usb/koma");
    EXPECT_EQ(main.path_ref.caption, "/media/usb/koma");
    EXPECT_EQ(window.File1.names(), QStringList{"walk.pst"});

    window.lists.set_drive("/");
    EXPECT_EQ(main.path_ref.caption, "/");
    window.lists.set_path("/home/me");
    EXPECT_EQ(main.path_ref.caption, "/home/me");
    EXPECT_EQ(window.File1.names(), QStringList({"a.pst", "B.PST", "c.Pst"}));
    window.file1_click(1);
    EXPECT_EQ(window.file_name.text(), "B.PST");

    // Another click on "SAVE" while the window is open takes it home again.
    window.open(2);
    EXPECT_EQ(window.lists.drive(), "/media/usb");
    EXPECT_EQ(window.lists.path(), "/media/usb/koma");
    EXPECT_EQ(main.path_ref.caption, "/media/usb/koma");
    EXPECT_EQ(window.File1.selected(), -1);
    EXPECT_EQ(window.file_name.text(), "B.PST");
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(StateWindowOnFake, ANotReadyRootIsToldAndFallsBackToTheProgramsRootWithTheListsFollowing) {
    window.open(1);
    window.lists.set_drive("/");
    window.lists.set_path("/home/me");
    window.file1_click(0);
    fs.not_ready.insert("/media/cd");
    window.lists.set_drive("/media/cd");
    EXPECT_EQ(messages, QStringList({"ドライブの準備がまだです"}));
    EXPECT_EQ(window.lists.drive(), "/media/usb");
    EXPECT_EQ(window.lists.path(), "/media/usb");
    EXPECT_EQ(main.path_ref.caption, "/media/usb");
    EXPECT_EQ(window.File1.folder(), "/media/usb");
    EXPECT_EQ(window.File1.names(), QStringList{"top.PST"});
    EXPECT_EQ(window.File1.selected(), -1);
    // The typed name stays; "OK" would now name the file in the fall-back folder.
    EXPECT_EQ(window.file_name.text(), "a.pst");
}

TEST_F(StateWindowOnFake, AFolderThatCannotBeReadListsNothingAndStillMovesPathRef) {
    window.open(1);
    fs.folders["/media/usb/koma/locked"] = {};
    fs.unreadable.insert("/media/usb/koma/locked");
    window.lists.set_path("/media/usb/koma/locked");
    EXPECT_TRUE(window.File1.names().isEmpty());
    EXPECT_EQ(main.path_ref.caption, "/media/usb/koma/locked");
    window.file1_click(0);
    EXPECT_EQ(window.file_name.text(), "");
    EXPECT_TRUE(messages.isEmpty());
}

TEST(StateArgument, OneArgumentEndingInPstInAnyCaseNamesAStateFile) {
    EXPECT_TRUE(names_state_file({"koma", "walk.pst"}));
    EXPECT_TRUE(names_state_file({"koma", "/a/Walk.PsT"}));
    EXPECT_FALSE(names_state_file({"koma"}));
    EXPECT_FALSE(names_state_file({"koma", "walk.pst", "more.pst"}));
    EXPECT_FALSE(names_state_file({"koma", "export"}));
    EXPECT_FALSE(names_state_file({"koma", "walk.pst.bak"}));
}

TEST(StateArgument, TheNamedFileIsReadAsLoadWould) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EditingModel writer(dir.path());
    Form1_Load(writer);
    writer.basename.set_text(QStringLiteral("opened"));
    ASSERT_TRUE(write_state(writer, dir.filePath("walk.pst")).has_value());

    EditingModel reader(dir.path());
    Form1_Load(reader);
    ASSERT_TRUE(load_state_argument(reader, {"koma"}).has_value());
    EXPECT_EQ(reader.state_mode, 0);
    EXPECT_EQ(reader.work_path, "");

    const QString saved_folder = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    auto result = load_state_argument(reader, {"koma", "walk.pst"});
    QDir::setCurrent(saved_folder);
    EXPECT_TRUE(result.has_value());
    EXPECT_EQ(reader.work_path, dir.filePath("walk.pst"));
    EXPECT_EQ(reader.state_mode, 1);
    EXPECT_EQ(reader.basename.text(), "opened");
}

}  // namespace
}  // namespace koma
