#include "platform/staged_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/start_folder.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;

class StagedFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QFile file(path("a.bmp"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old a");
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    QTemporaryDir dir;
};

TEST_F(StagedFilesTest, NothingIsReplacedBeforeCommitAndADroppedBatchLeavesNoTrace) {
    {
        StagedFiles staged;
        ASSERT_TRUE(staged.write(path("a.bmp"), "new a").has_value());
        ASSERT_TRUE(staged.write(path("b.bmp"), "new b").has_value());
        EXPECT_EQ(read_bytes(path("a.bmp")), "old a");
        EXPECT_FALSE(QFile::exists(path("b.bmp")));
    }
    EXPECT_EQ(entries(), QStringList{"a.bmp"});
    EXPECT_EQ(read_bytes(path("a.bmp")), "old a");

    StagedFiles staged;
    ASSERT_TRUE(staged.write(path("a.bmp"), "new a").has_value());
    ASSERT_TRUE(staged.write(path("b.bmp"), "new b").has_value());
    ASSERT_TRUE(staged.commit().has_value());
    EXPECT_EQ(read_bytes(path("a.bmp")), "new a");
    EXPECT_EQ(read_bytes(path("b.bmp")), "new b");
    EXPECT_EQ(entries(), (QStringList{"a.bmp", "b.bmp"}));
}

TEST_F(StagedFilesTest, AFailedRenameTakesBackTheFilesAlreadyInPlace) {
    StagedFiles staged;
    ASSERT_TRUE(staged.write(path("a.bmp"), "new a").has_value());
    ASSERT_TRUE(staged.write(path("b.bmp"), "new b").has_value());
    ASSERT_TRUE(staged.write(path("c.bmp"), "new c").has_value());
    // Something else takes c's name as a folder before the batch is committed.
    ASSERT_TRUE(QDir(dir.path()).mkdir("c.bmp"));
    const auto committed = staged.commit();
    ASSERT_FALSE(committed.has_value());
    EXPECT_TRUE(committed.error().startsWith(path("c.bmp") + ": "));
    EXPECT_EQ(read_bytes(path("a.bmp")), "old a");
    EXPECT_EQ(entries(), (QStringList{"a.bmp", "c.bmp"}));
}

TEST_F(StagedFilesTest, FilesWrittenInPiecesGoWithTheBatchAndADroppedOneLeavesNoTrace) {
    StagedFiles staged;
    const auto video = staged.stage(path("a.mp4"));
    ASSERT_TRUE(video) << video.error().toStdString();
    const auto sheet = staged.stage(path("a.bmp"));
    ASSERT_TRUE(sheet);
    test::write_bytes(*video, "pieces");
    test::write_bytes(*sheet, "new a");
    ASSERT_TRUE(staged.write(path("b.bmp"), "new b"));
    staged.drop(path("b.bmp"));
    EXPECT_EQ(read_bytes(path("a.bmp")), "old a");
    EXPECT_FALSE(QFile::exists(path("a.mp4")));
    ASSERT_TRUE(staged.commit());
    EXPECT_EQ(read_bytes(path("a.mp4")), "pieces");
    EXPECT_EQ(read_bytes(path("a.bmp")), "new a");
    EXPECT_EQ(entries(), (QStringList{"a.bmp", "a.mp4"}));

    // The targets the whole files refuse are refused here too, leaving nothing.
    ASSERT_TRUE(QFile::setPermissions(path("a.mp4"), QFile::ReadOwner));
    const auto refused = staged.stage(path("a.mp4"));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), path("a.mp4") + ": the file is read-only");
    EXPECT_TRUE(staged.empty());
    EXPECT_EQ(entries(), (QStringList{"a.bmp", "a.mp4"}));
}

TEST(StartFolder, AProgramFolderThatCannotBeWrittenGivesWayToThePicturesFolder) {
    QTemporaryDir home;
    const QString program = home.filePath("bin");
    ASSERT_TRUE(QDir(home.path()).mkdir("bin"));
    EXPECT_EQ(start_folder(program, "/elsewhere"), program);
    // No write permission for anyone: read-only also for the super-user.
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
    EXPECT_EQ(start_folder(program, "/elsewhere"), "/elsewhere");
    EXPECT_EQ(start_folder(home.filePath("gone"), "/elsewhere"), "/elsewhere");

    const QByteArray saved_home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    EXPECT_EQ(pictures_folder(), home.path());  // no Pictures folder yet
    ASSERT_TRUE(QDir(home.path()).mkdir("Pictures"));
    EXPECT_EQ(pictures_folder(), home.filePath("Pictures"));
    qputenv("HOME", saved_home);
}

}  // namespace
}  // namespace koma
