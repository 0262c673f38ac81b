#include "platform/system_file_watch.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/file_watch_helpers.h"

namespace koma {
namespace {

class SystemFileWatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&watch, &FileWatch::touched, &watch,
                         [this](const QString& path) { touched << path; });
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    bool told(const QString& file) {
        return test::wait_until([&] { return touched.contains(file); });
    }

    // The watch needs the application's event loop from the start.
    bool application = (test::ensure_application(), true);
    QTemporaryDir dir;
    SystemFileWatch watch;
    QStringList touched;
};

TEST_F(SystemFileWatchTest, TellsWritesInPlaceAndFilesReplacedByARename) {
    const QString sky = path("sky.png");
    const QString other = path("other.png");
    test::write_in_place(sky, "one");
    test::write_in_place(other, "two");
    watch.watch({sky});

    test::write_in_place(sky, "three");
    EXPECT_TRUE(told(sky));
    touched.clear();
    test::replace_by_rename(sky, "four");
    EXPECT_TRUE(told(sky));
    // The file now under the name is watched, not the one the rename took away.
    touched.clear();
    test::write_in_place(sky, "five");
    EXPECT_TRUE(told(sky));

    // Files in the same folder that are not watched are not told.
    test::write_in_place(other, "six");
    test::wait_until([] { return false; }, 300);
    EXPECT_FALSE(touched.contains(other));
}

TEST_F(SystemFileWatchTest, TellsAFileThatDisappearsAndComesBack) {
    const QString sky = path("sky.png");
    test::write_in_place(sky, "one");
    watch.watch({sky});
    ASSERT_TRUE(QFile::remove(sky));
    EXPECT_TRUE(told(sky));
    touched.clear();
    test::write_in_place(sky, "two");
    EXPECT_TRUE(told(sky));
    touched.clear();
    test::write_in_place(sky, "three and more");
    EXPECT_TRUE(told(sky));

    watch.watch({});
    touched.clear();
    test::write_in_place(sky, "four");
    test::wait_until([] { return false; }, 300);
    EXPECT_TRUE(touched.isEmpty());
}

}  // namespace
}  // namespace koma
