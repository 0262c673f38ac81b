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
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    write_bytes(staged->temp_path(), "new");
    EXPECT_EQ(read_bytes(path), "old");
    StagedFile moved = std::move(*staged);  // the moved-from one owns nothing
    ASSERT_TRUE(moved.commit());
    EXPECT_EQ(read_bytes(path), "new");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, kept & 0x7077);

    // A new file gets what any new file gets, not a temporary file's owner-only permissions.
    auto fresh = StagedFile::create(dir.filePath("new.webm"));
    ASSERT_TRUE(fresh && fresh->commit());
    write_bytes(dir.filePath("plain"), "x");
    EXPECT_EQ(QFile::permissions(dir.filePath("new.webm")),
              QFile::permissions(dir.filePath("plain")));
    EXPECT_EQ(entries(), (QStringList{"a.mp4", "new.webm", "plain"}));
}

TEST_F(StagedFileTest, RefusedTargetsAreNamedAndLeaveNothingBehind) {
    const QString read_only = dir.filePath("locked.png");
    write_bytes(read_only, "old");
    ASSERT_TRUE(QFile::setPermissions(read_only, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.png"));
    for (const QString& path : {read_only, dir.filePath("folder.png"), read_only + "/a.png"}) {
        const auto staged = StagedFile::create(path);
        ASSERT_FALSE(staged) << path.toStdString();
        EXPECT_TRUE(staged.error().startsWith(path + ": ")) << staged.error().toStdString();
    }
    // A target that became a folder while the file was written.
    auto late = StagedFile::create(dir.filePath("late.json"));
    ASSERT_TRUE(late);
    ASSERT_TRUE(QDir(dir.path()).mkdir("late.json"));
    EXPECT_FALSE(late->commit());
    EXPECT_EQ(read_bytes(read_only), "old");
    EXPECT_EQ(entries(), (QStringList{"folder.png", "late.json", "locked.png"}));
}

}  // namespace
}  // namespace koma
