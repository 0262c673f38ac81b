#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "state/recovery_folder.h"
#include "support/image_files.h"

namespace koma {
namespace {

class RecoveryFolderTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString folder() const { return dir.filePath("recovery"); }
    QStringList copies() const { return QDir(folder()).entryList({"*.recovery"}, QDir::Files); }

    QTemporaryDir dir;
};

// A store that goes away without drop() is a process that ended without closing its window:
// its lock goes, as the kernel lets a killed process's lock go.
TEST_F(RecoveryFolderTest, ACopyIsOfferedOnlyOnceItsProcessIsGoneAndToOneProcessOnly) {
    auto ended = std::make_unique<RecoveryFolder>(folder());
    RecoveryFolder running(folder());
    ASSERT_NE(ended->id(), running.id());
    ASSERT_TRUE(ended->keep("first"));
    ASSERT_TRUE(ended->keep("second"));
    ASSERT_TRUE(running.keep("running"));
    RecoveryFolder next(folder());
    EXPECT_TRUE(next.orphans().empty());

    const QString id = ended->id();
    ended.reset();
    const auto offered = next.orphans();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].id, id);
    EXPECT_EQ(offered[0].bytes, "second");
    EXPECT_TRUE(RecoveryFolder(folder()).orphans().empty());
    next.discard(id);
    running.drop();
    EXPECT_TRUE(QDir(folder()).isEmpty());
}

TEST_F(RecoveryFolderTest, EmptyCopiesAreRemovedNotOffered) {
    ASSERT_TRUE(QDir().mkpath(folder()));
    ASSERT_TRUE(test::write_file(folder() + "/empty.recovery", QByteArray()));
    EXPECT_TRUE(RecoveryFolder(folder()).orphans().empty());
    EXPECT_TRUE(QDir(folder()).isEmpty());
}

TEST_F(RecoveryFolderTest, AtMostTenCopiesAreKeptTheOldestDropped) {
    QStringList ids;
    for (int i = 0; i < kRecoveryLimit + 2; ++i) {
        RecoveryFolder ended(folder());
        ASSERT_TRUE(ended.keep(QByteArray::number(i)));
        QFile copy(folder() + "/" + ended.id() + ".recovery");
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        ASSERT_TRUE(copy.setFileTime(QDateTime::currentDateTime().addSecs(i - 100),
                                     QFileDevice::FileModificationTime));
        ids << ended.id() + ".recovery";
    }
    RecoveryFolder store(folder());
    ASSERT_TRUE(store.keep("now"));
    EXPECT_EQ(copies().size(), kRecoveryLimit);
    EXPECT_TRUE(copies().contains(store.id() + ".recovery"));
    EXPECT_FALSE(copies().contains(ids[2]));
    EXPECT_TRUE(copies().contains(ids[3]));
}

}  // namespace
}  // namespace koma
