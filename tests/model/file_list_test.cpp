#include "model/file_list.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace koma {
namespace {

TEST(MatchesPattern, WildcardsWithoutRegardToCase) {
    EXPECT_TRUE(matches_pattern("photo.bmp", "*.BMP"));
    EXPECT_TRUE(matches_pattern("PHOTO.Bmp", "*.bmp"));
    EXPECT_TRUE(matches_pattern("a.png", "?.PNG"));
    EXPECT_FALSE(matches_pattern("ab.png", "?.PNG"));
    EXPECT_FALSE(matches_pattern("photo.bmp.txt", "*.BMP"));
    EXPECT_FALSE(matches_pattern("photobmp", "*.BMP"));
    EXPECT_TRUE(matches_pattern("x.jpg", "*.BMP;*.JPG"));
    EXPECT_TRUE(matches_pattern("a.b.c.pst", "*.pst"));
    EXPECT_TRUE(matches_pattern("ÄÖ.BMP", "äö.bmp"));
}

TEST(FileList, ListsMatchingFilesAndDropsTheSelectionOnReload) {
    test::FakeFileSystem fs;
    fs.folders["/p"] = {{"sub.bmp"}, {"a.BMP", "b.bmp", "c.jpg", "d.png"}};
    fs.unreadable.insert("/locked");
    FileList list(&fs);
    int clicks = 0;
    list.on_select = [&] { ++clicks; };
    list.set_pattern("*.bmp");
    list.set_folder("/p");
    EXPECT_EQ(list.names(), QStringList({"a.BMP", "b.bmp"}));  // folders are not files
    EXPECT_EQ(list.selected(), -1);

    list.select(1);
    EXPECT_EQ(list.file_name(), "b.bmp");
    EXPECT_EQ(clicks, 1);
    list.select(7);
    EXPECT_EQ(list.selected(), -1);
    EXPECT_EQ(clicks, 1);

    list.select(0);
    list.set_pattern("*.JPG");
    EXPECT_EQ(list.names(), QStringList({"c.jpg"}));
    EXPECT_EQ(list.selected(), -1);

    list.set_folder("/locked");
    EXPECT_TRUE(list.names().isEmpty());
    EXPECT_FALSE(list.error().isEmpty());
    list.set_folder("/p");
    EXPECT_TRUE(list.error().isEmpty());
}

}  // namespace
}  // namespace koma
