#include <gtest/gtest.h>

#include <QDir>

#include "platform/atomic_write.h"
#include "platform/replace_file.h"
#include "platform/staged_files.h"
#include "support/file_bytes.h"
#include "support/small_tmpfs.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

// Failures met on a real file system: a small tmpfs of this test's own.
class WriteFailuresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!disk.mounted()) GTEST_SKIP() << disk.why().toStdString();
        write_bytes(disk.file("walk.gif"), "old");
    }
    QStringList entries() const {
        return QDir(disk.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    test::SmallTmpfs disk{64};
};

TEST_F(WriteFailuresTest, AFullDiskIsNamedAndLeavesTheOldFileAndNoTemporaryFile) {
    ASSERT_TRUE(disk.leave_free(1));
    // One page free: a small file fails when it is flushed, a larger one part-way through.
    for (const qsizetype size : {qsizetype{5000}, qsizetype{40000}}) {
        const QByteArray bytes(size, 'n');
        const auto replaced = replace_file_contents(disk.file("walk.gif"), bytes);
        ASSERT_FALSE(replaced.has_value());
        EXPECT_EQ(replaced.error(), disk.file("walk.gif") + ": No space left on device");
        const auto saved = write_file_atomically(disk.file("walk.gif"), bytes);
        ASSERT_FALSE(saved.has_value());
        EXPECT_TRUE(saved.error().endsWith(": No space left on device"))
            << saved.error().toStdString();
        StagedFiles staged;
        ASSERT_TRUE(staged.write(disk.file("a.bmp"), "fits in the page").has_value());
        EXPECT_FALSE(staged.write(disk.file("b.bmp"), bytes).has_value());
        staged.discard();
        EXPECT_EQ(entries(), (QStringList{".filler", "walk.gif"})) << size;
        EXPECT_EQ(read_bytes(disk.file("walk.gif")), "old");
    }
}

TEST_F(WriteFailuresTest, AReadOnlyFileSystemIsNamed) {
    ASSERT_TRUE(disk.make_read_only());
    for (const QString& name : {QStringLiteral("walk.gif"), QStringLiteral("new.gif")}) {
        const auto replaced = replace_file_contents(disk.file(name), "new");
        ASSERT_FALSE(replaced.has_value());
        EXPECT_EQ(replaced.error(), disk.file(name) + ": Read-only file system");
        const auto saved = write_file_atomically(disk.file(name), "new");
        ASSERT_FALSE(saved.has_value());
        EXPECT_TRUE(saved.error().endsWith(": Read-only file system"))
            << saved.error().toStdString();
    }
    EXPECT_EQ(read_bytes(disk.file("walk.gif")), "old");
}

}  // namespace
}  // namespace koma
