#include "platform/replace_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace koma {
namespace {

QByteArray read_all(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReplaceFileTest : public ::testing::Test {
  protected:
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    QTemporaryDir dir;
};

TEST_F(ReplaceFileTest, ReplacesContentKeepsPermissionsAndLeavesNoTemporaryFile) {
    const QString path = dir.filePath("a.gif");
    ASSERT_TRUE(replace_file_contents(path, QByteArray(1000, 'x')).has_value());
    const auto kept = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, kept));
    ASSERT_TRUE(replace_file_contents(path, "short").has_value());
    EXPECT_EQ(read_all(path), "short");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, kept & 0x7077);  // owner, group, others
    EXPECT_EQ(entries(), QStringList{"a.gif"});
}

TEST_F(ReplaceFileTest, WritesThroughASymbolicLink) {
    const QString target = dir.filePath("target.bmp");
    const QString link = dir.filePath("link.bmp");
    ASSERT_TRUE(replace_file_contents(target, "old").has_value());
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(replace_file_contents(link, "new").has_value());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(read_all(target), "new");
}

TEST_F(ReplaceFileTest, FailuresNameThePathAndLeaveNothingBehind) {
    const QString missing = dir.filePath("no/such/folder/a.gif");
    const auto written = replace_file_contents(missing, "x");
    ASSERT_FALSE(written.has_value());
    EXPECT_TRUE(written.error().startsWith(missing + ": ")) << written.error().toStdString();

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.gif"));
    const auto onto_folder = replace_file_contents(dir.filePath("taken.gif"), "x");
    ASSERT_FALSE(onto_folder.has_value());
    EXPECT_TRUE(entries().isEmpty());
}

}  // namespace
}  // namespace koma
