#include "platform/write_target.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "platform/atomic_write.h"
#include "platform/replace_file.h"
#include "support/file_bytes.h"

namespace koma {
namespace {

using test::read_bytes;
using test::write_bytes;

QByteArray native(const QString& path) { return QFile::encodeName(path); }

struct stat status_of(const QString& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(native(path).constData(), &status), 0) << path.toStdString();
    return status;
}

// The writer of exported files and the writer of state files replace files the same way.
struct Writer {
    const char* name;
    std::function<bool(const QString&, const QByteArray&)> write;
};
const Writer kWriters[] = {
    {"replace_file_contents",
     [](const QString& path, const QByteArray& bytes) {
         return replace_file_contents(path, bytes).has_value();
     }},
    {"write_file_atomically",
     [](const QString& path, const QByteArray& bytes) {
         return write_file_atomically(path, bytes).has_value();
     }},
};

class WriteTargetTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    QTemporaryDir dir;
};

TEST_F(WriteTargetTest, AChainOfLinksEndsWithTheFinalFileNewAndEveryLinkALink) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    for (const Writer& writer : kWriters) {
        write_bytes(path("real/walk.gif"), "old");
        // An absolute link to a relative one, which is read from its own folder.
        ASSERT_TRUE(QFile::link(path("real/walk.gif"), path("real/middle.gif")));
        ASSERT_EQ(::symlink("real/middle.gif", native(path("first.gif")).constData()), 0);
        ASSERT_TRUE(writer.write(path("first.gif"), "new")) << writer.name;
        EXPECT_EQ(read_bytes(path("real/walk.gif")), "new") << writer.name;
        EXPECT_TRUE(QFileInfo(path("first.gif")).isSymLink()) << writer.name;
        EXPECT_TRUE(QFileInfo(path("real/middle.gif")).isSymLink()) << writer.name;

        // A dangling chain creates the file the last link names.
        QFile::remove(path("real/walk.gif"));
        ASSERT_TRUE(writer.write(path("first.gif"), "created")) << writer.name;
        EXPECT_EQ(read_bytes(path("real/walk.gif")), "created") << writer.name;
        EXPECT_TRUE(QFileInfo(path("real/middle.gif")).isSymLink()) << writer.name;
        EXPECT_EQ(QDir(path("real")).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  (QStringList{"middle.gif", "walk.gif"}));
        for (const char* name : {"first.gif", "real/middle.gif", "real/walk.gif"}) {
            QFile::remove(path(name));
        }
    }
    // A circle of links is no file.
    ASSERT_EQ(::symlink("b", native(path("a")).constData()), 0);
    ASSERT_EQ(::symlink("a", native(path("b")).constData()), 0);
    EXPECT_FALSE(resolve_write_target(path("a")).has_value());
}

TEST_F(WriteTargetTest, OnlyRegularFilesAreReplacedAndNothingElseIsOpened) {
    // Opening a FIFO for writing would wait for a reader forever: the refusal must come first.
    ASSERT_EQ(::mkfifo(native(path("fifo")).constData(), 0666), 0);
    QStringList refused = {"fifo"};
    // A device node of its own (the null device's numbers), so that a fault cannot reach /dev.
    if (::mknod(native(path("device")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        refused << "device";
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    refused << "folder";
    for (const QString& name : QStringList(refused)) {
        ASSERT_TRUE(QFile::link(path(name), path("link-" + name)));
        refused << "link-" + name;
    }
    const QStringList before = entries();
    for (const QString& name : refused) {
        const auto found = resolve_write_target(path(name));
        ASSERT_FALSE(found.has_value()) << name.toStdString();
        const QString kind = name.endsWith("fifo")     ? "is a FIFO (named pipe), not a file"
                             : name.endsWith("device") ? "is a device, not a file"
                                                       : "is a folder";
        EXPECT_EQ(found.error(), kind);
        const auto written = replace_file_contents(path(name), "x");
        ASSERT_FALSE(written.has_value());
        EXPECT_EQ(written.error(), path(name) + ": " + kind);
        EXPECT_FALSE(write_file_atomically(path(name), "x").has_value());
    }
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(S_ISFIFO(status_of(path("fifo")).st_mode));
}

TEST_F(WriteTargetTest, AReplacedFileKeepsItsModeAndOwnerFromTheMomentItIsCreated) {
    const QString file = path("secret.bmp");
    write_bytes(file, "old");
    ASSERT_EQ(::chmod(native(file).constData(), 0600), 0);
    // As the super-user, a file of another user stays theirs.
    const bool super_user = ::geteuid() == 0;
    const uid_t owner = super_user ? 65534 : ::geteuid();
    const gid_t group = super_user ? 65534 : ::getegid();
    ASSERT_EQ(::chown(native(file).constData(), owner, group), 0);

    const auto target = resolve_write_target(file);
    ASSERT_TRUE(target.has_value());
    auto beside = FileBeside::create(*target, "tmp");
    ASSERT_TRUE(beside.has_value());
    // Before a byte is written, the new file is no more readable than the old one.
    const struct stat fresh = status_of(beside->path());
    EXPECT_EQ(fresh.st_mode & 07777, 0600u);
    EXPECT_EQ(fresh.st_uid, owner);
    EXPECT_EQ(fresh.st_gid, group);
    const QString temp = beside->path();
    beside = std::unexpected(QString());  // dropped: removed
    EXPECT_FALSE(QFile::exists(temp));

    for (const Writer& writer : kWriters) {
        ASSERT_TRUE(writer.write(file, writer.name)) << writer.name;
        const struct stat replaced = status_of(file);
        EXPECT_EQ(read_bytes(file), writer.name);
        EXPECT_EQ(replaced.st_mode & 07777, 0600u) << writer.name;
        EXPECT_EQ(replaced.st_uid, owner) << writer.name;
        EXPECT_EQ(replaced.st_gid, group) << writer.name;
    }
    EXPECT_EQ(entries(), QStringList{"secret.bmp"});
}

TEST_F(WriteTargetTest, ANameNearTheLengthLimitIsStillReplaced) {
    // 80 characters of three bytes each and ".bmp": 244 bytes, close to the 255 a name may have,
    // so the temporary name beside it must not repeat it whole.
    const QString file = path(QString(80, QChar(0x30B3)) + ".bmp");
    write_bytes(file, "old");
    for (const Writer& writer : kWriters) {
        ASSERT_TRUE(writer.write(file, writer.name)) << writer.name;
        EXPECT_EQ(read_bytes(file), writer.name);
    }
    EXPECT_EQ(entries().size(), 1);
}

}  // namespace
}  // namespace koma
