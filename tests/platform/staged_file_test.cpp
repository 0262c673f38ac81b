#include "platform/staged_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

class StagedFileTest : public ::testing::Test {
  protected:
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QTemporaryDir dir;
};

TEST_F(StagedFileTest, TheOldFileStaysUntilCommitThenTheNewOneTakesItsPlaceAndPermissions) {
    const QString path = dir.filePath("a.mp4");
    write_bytes(path, "old");
    const auto kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, kept));
    auto staged = StagedFile::create(path);
    ASSERT_TRUE(staged) << staged.error().toStdString();
    EXPECT_TRUE(QFileInfo(staged->temp_path()).dir() == QFileInfo(path).dir());
    write_bytes(staged->temp_path(), "new");
    EXPECT_EQ(read_bytes(path), "old");
    ASSERT_TRUE(staged->commit());
    EXPECT_EQ(read_bytes(path), "new");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, kept & 0x7077);
    EXPECT_EQ(entries(), QStringList{"a.mp4"});
}

TEST_F(StagedFileTest, ANewFileGetsThePermissionsOfAnyNewFile) {
    const QString path = dir.filePath("new.webm");
    {
        auto staged = StagedFile::create(path);
        ASSERT_TRUE(staged);
        ASSERT_TRUE(staged->commit());
    }
    write_bytes(dir.filePath("plain"), "x");
    EXPECT_EQ(QFile::permissions(path), QFile::permissions(dir.filePath("plain")));
}

TEST_F(StagedFileTest, DroppingOrDiscardingLeavesTheOldFileAndNoTemporaryOne) {
    const QString path = dir.filePath("a.avif");
    write_bytes(path, "old");
    {
        auto staged = StagedFile::create(path);
        ASSERT_TRUE(staged);
        write_bytes(staged->temp_path(), "half");
        StagedFile moved = std::move(*staged);  // the moved-from one owns nothing
    }
    auto discarded = StagedFile::create(path);
    ASSERT_TRUE(discarded);
    discarded->discard();
    EXPECT_FALSE(discarded->commit());
    EXPECT_EQ(read_bytes(path), "old");
    EXPECT_EQ(entries(), QStringList{"a.avif"});
}

TEST_F(StagedFileTest, RefusedTargetsAreNamedAndLeaveNothingBehind) {
    const QString read_only = dir.filePath("locked.png");
    write_bytes(read_only, "old");
    ASSERT_TRUE(QFile::setPermissions(read_only, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    write_bytes(dir.filePath("file"), "");
    for (const QString& path :
         {read_only, dir.filePath("folder.png"), dir.filePath("file/a.png")}) {
        const auto staged = StagedFile::create(path);
        ASSERT_FALSE(staged) << path.toStdString();
        EXPECT_TRUE(staged.error().startsWith(path + ": ")) << staged.error().toStdString();
    }
    EXPECT_EQ(read_bytes(read_only), "old");
    EXPECT_EQ(entries(), (QStringList{"file", "folder.png", "locked.png"}));
}

TEST_F(StagedFileTest, ATargetThatBecameAFolderBeforeCommitIsRefused) {
    const QString path = dir.filePath("late.json");
    auto staged = StagedFile::create(path);
    ASSERT_TRUE(staged);
    ASSERT_TRUE(QDir(dir.path()).mkdir("late.json"));
    const auto committed = staged->commit();
    ASSERT_FALSE(committed);
    EXPECT_TRUE(committed.error().startsWith(path + ": "));
    EXPECT_EQ(entries(), QStringList{"late.json"});
}

}  // namespace
}  // namespace koma
