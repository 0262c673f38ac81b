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

// The refusals and the modes of replaced files are write_target's (write_target_test); here,
// what the staged file itself adds: nothing changes before commit(), a move hands the file on,
// and commit() looks at the target again.
TEST_F(StagedFileTest, TheOldFileStaysUntilCommitAndATargetThatChangedMeanwhileIsRefused) {
    const QString path = dir.filePath("a.mp4");
    write_bytes(path, "old");
    auto staged = StagedFile::create(path);
    ASSERT_TRUE(staged) << staged.error().toStdString();
    write_bytes(staged->temp_path(), "new");
    EXPECT_EQ(read_bytes(path), "old");
    StagedFile moved = std::move(*staged);  // the moved-from one owns nothing
    ASSERT_TRUE(moved.commit());
    EXPECT_EQ(read_bytes(path), "new");

    // A target that became a folder while the file was written.
    auto late = StagedFile::create(dir.filePath("late.json"));
    ASSERT_TRUE(late);
    ASSERT_TRUE(QDir(dir.path()).mkdir("late.json"));
    const auto committed = late->commit();
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error(), dir.filePath("late.json") + ": is a folder");
    EXPECT_EQ(entries(), (QStringList{"a.mp4", "late.json"}));
}

}  // namespace
}  // namespace koma
