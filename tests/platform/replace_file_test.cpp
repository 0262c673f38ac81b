#include "platform/replace_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;

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
    EXPECT_EQ(read_bytes(path), "short");
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
    EXPECT_EQ(read_bytes(target), "new");
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

void write_file(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

TEST_F(ReplaceFileTest, AReadOnlyFileIsRefusedAndKeptWhoeverRunsTheProgram) {
    const QString path = dir.filePath("a.bmp");
    const QString link = dir.filePath("link.bmp");
    write_file(path, "old");
    const auto read_only = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(path, read_only));
    ASSERT_TRUE(QFile::link(path, link));

    for (const QString& given : {path, link}) {
        const auto written = replace_file_contents(given, "new");
        ASSERT_FALSE(written.has_value()) << given.toStdString();
        EXPECT_TRUE(written.error().startsWith(given + ": ")) << written.error().toStdString();
    }
    EXPECT_EQ(read_bytes(path), "old");
    EXPECT_EQ(QFile::permissions(path) & 0x7077, read_only & 0x7077);
    EXPECT_EQ(entries(), (QStringList{"a.bmp", "link.bmp"}));

    // Write permission for the group alone is not a read-only file: the super-user replaces
    // it, the owner (without the right to write it) may not.
    ASSERT_TRUE(QFile::setPermissions(path, read_only | QFile::WriteGroup));
    const bool super_user = geteuid() == 0;
    EXPECT_EQ(replace_file_contents(path, "new").has_value(), super_user);
    EXPECT_EQ(read_bytes(path), super_user ? "new" : "old");
}

// Renaming over a file needs only the right to write its folder; the file of another user in a
// folder open to everyone must still be refused. Run as an ordinary user in a child process.
TEST_F(ReplaceFileTest, AFileOfAnotherUserIsRefusedAndKeptEvenInAnOpenFolder) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "making a file that belongs to another user needs the super-user";
    }
    const uid_t nobody = 65534;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::Permissions(0x7777)));
    const QString theirs = dir.filePath("theirs.bmp");
    const QString own = dir.filePath("own.bmp");
    write_file(theirs, "old");
    write_file(own, "old");
    const auto usual = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(theirs, usual));
    ASSERT_TRUE(QFile::setPermissions(own, usual));
    ASSERT_EQ(chown(QFile::encodeName(own).constData(), nobody, nobody), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(nobody) != 0 || setuid(nobody) != 0) _exit(4);
        const bool refused = !replace_file_contents(theirs, "new").has_value();
        // The same user replaces a file of its own beside it: the folder itself is no obstacle.
        const bool replaced = replace_file_contents(own, "new").has_value();
        _exit((refused ? 0 : 1) | (replaced ? 0 : 2));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: replaced the other user's file, 2: not its own";
    EXPECT_EQ(read_bytes(theirs), "old");
    EXPECT_EQ(read_bytes(own), "new");
    EXPECT_EQ(entries(), (QStringList{"own.bmp", "theirs.bmp"}));
}

}  // namespace
}  // namespace koma
