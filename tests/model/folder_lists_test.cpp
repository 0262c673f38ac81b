#include "model/folder_lists.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace koma {
namespace {

class FolderListsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs.root_list = {"/", "/media/cd", "/media/usb"};
        fs.folders["/"] = {{"home", "media"}, {}};
        fs.folders["/home"] = {{"koma"}, {}};
        fs.folders["/home/koma"] = {{"art", "bin"}, {"a.bmp"}};
        fs.folders["/media/usb"] = {{"photos"}, {}};
        fs.folders["/media/cd"] = {{}, {}};
        lists.set_home_folder("/media/usb/koma");
        lists.on_folder_change = [this] { folder_changes.append(lists.path()); };
        lists.on_not_ready = [this](const QString& m) { messages.append(m); };
    }
    test::FakeFileSystem fs;
    FolderLists lists{&fs};
    QStringList folder_changes;
    QStringList messages;
};

TEST_F(FolderListsTest, DriveChangeOpensTheRootAndFolderChangesRunTheHandler) {
    lists.set_drive("/");
    EXPECT_EQ(lists.path(), "/");
    lists.set_path("/home/koma");
    lists.set_path("/home/koma");  // no change, no handler
    EXPECT_EQ(folder_changes, QStringList({"/", "/home/koma"}));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(lists.drives(), fs.root_list);
}

TEST_F(FolderListsTest, RootNotReadyTellsOnceThenFallsBackToTheHomeRoot) {
    lists.set_drive("/");
    lists.set_path("/home/koma");
    fs.not_ready.insert("/media/cd");
    folder_changes.clear();
    lists.set_drive("/media/cd");
    EXPECT_EQ(messages, QStringList({"ドライブの準備がまだです"}));
    EXPECT_EQ(lists.drive(), "/media/usb");
    EXPECT_EQ(lists.path(), "/media/usb");
    EXPECT_EQ(folder_changes, QStringList({"/media/usb"}));
}

TEST_F(FolderListsTest, FallBackEndsInAFolderChangeEvenOnTheSameDrive) {
    lists.set_drive("/media/usb");
    lists.set_path("/media/usb/photos");
    fs.not_ready.insert("/media/cd");
    lists.set_drive("/media/cd");
    EXPECT_EQ(lists.drive(), "/media/usb");
    EXPECT_EQ(lists.path(), "/media/usb");
}

TEST_F(FolderListsTest, VanishedRootAndUnreadableHomeRootDoNotLoop) {
    lists.set_drive("/");
    lists.set_path("/home/koma");
    fs.root_list.removeAll("/media/cd");  // unplugged while listed
    fs.not_ready.insert("/media/usb");    // and the home root is gone too
    lists.set_drive("/media/cd");
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(lists.drive(), "/");
    EXPECT_EQ(lists.path(), "/home/koma");
}

TEST_F(FolderListsTest, OtherRootFailuresAreSilentAndChangeNothing) {
    lists.set_drive("/");
    fs.unreadable.insert("/media/cd");
    lists.set_drive("/media/cd");
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(lists.drive(), "/");
    EXPECT_EQ(lists.path(), "/");
}

TEST_F(FolderListsTest, FolderItemsShowThePathAndTheSubfolders) {
    lists.set_drive("/");
    lists.set_path("/home/koma");
    const auto items = lists.folder_items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].path, "/");
    EXPECT_EQ(items[1].label, "home");
    EXPECT_EQ(items[2].path, "/home/koma");
    EXPECT_TRUE(items[2].current);
    EXPECT_EQ(items[3].path, "/home/koma/art");
    EXPECT_EQ(items[3].depth, 3);
    EXPECT_EQ(items[4].label, "bin");

    // On another root the chain starts at that root; a folder that cannot be read shows
    // only its path.
    lists.set_drive("/media/usb");
    lists.set_path("/media/usb/photos");
    const auto usb = lists.folder_items();
    ASSERT_EQ(usb.size(), 2u);
    EXPECT_EQ(usb[0].path, "/media/usb");
    EXPECT_EQ(usb[1].path, "/media/usb/photos");
}

TEST(FileSystemRoots, RootOfIsTheLongestHoldingRoot) {
    test::FakeFileSystem fs;
    fs.root_list = {"/", "/media/usb", "/media/usb/inner"};
    EXPECT_EQ(fs.root_of("/media/usb/a"), "/media/usb");
    EXPECT_EQ(fs.root_of("/media/usb"), "/media/usb");
    EXPECT_EQ(fs.root_of("/media/usbx/a"), "/");
    EXPECT_EQ(fs.root_of("/media/usb/inner/x"), "/media/usb/inner");
    EXPECT_EQ(child_path("/", "a"), "/a");
    EXPECT_EQ(child_path("/b", "a"), "/b/a");
}

TEST(MachineFileSystem, SlashIsAlwaysAReadyRoot) {
    const FileSystem& fs = machine_file_system();
    ASSERT_FALSE(fs.roots().isEmpty());
    EXPECT_EQ(fs.roots().first(), "/");
    EXPECT_TRUE(fs.root_ready("/"));
    EXPECT_FALSE(fs.root_ready("/no/such/root/here"));
    EXPECT_FALSE(fs.list("/no/such/folder").has_value());
}

}  // namespace
}  // namespace koma
