#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::run_koma_binary;

// A project folder "p" whose state file names its images by relative paths, and a folder
// "other" holding different pictures of the same names.
class ExportSlotWarningsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* folder : {"p", "other", "out"}) {
            ASSERT_TRUE(QDir(dir.path()).mkpath(QLatin1String(folder)));
        }
        ASSERT_TRUE(test::solid(5, 2, qRgb(0, 0, 255)).save(path("p/sky.png")));
        ASSERT_TRUE(test::solid(5, 2, qRgb(255, 0, 0)).save(path("other/sky.png")));
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void write_state(const QByteArray& slot1, const QByteArray& slot2) {
        QByteArray bytes = "\"sky.png\"\r\n\"" + slot1 + "\"\r\n\"" + slot2 + "\"\r\n";
        for (int i = 3; i < 11; ++i) bytes += "\"\"\r\n";
        bytes += "0,0,0,\"12\",\"\",\"\",\"walk\",\"\"\r\n0,0\r\n0,0\r\n#TRUE#,16777215,75,30\r\n";
        QFile out(path("p/walk.pst"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(bytes), bytes.size());
    }

    QTemporaryDir dir;
};

TEST_F(ExportSlotWarningsTest, RelativePathsAreTakenFromTheStateFilesFolder) {
    write_state("", "");
    const auto run = run_koma_binary(
        {"export", "../p/walk.pst", "--out", path("out"), "--basename", "s"}, path("other"));
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    const QImage step(path("out/s00.bmp"));
    ASSERT_FALSE(step.isNull());
    EXPECT_EQ(step.pixel(0, 0), qRgb(0, 0, 255));
}

TEST_F(ExportSlotWarningsTest, SlotImagesThatDoNotLoadAreWarnedAboutAndExitFour) {
    QFile broken(path("p/broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n no picture");
    broken.close();
    write_state("missing.png", "broken.png");
    const auto run = run_koma_binary(
        {"export", path("p/walk.pst"), "--out", path("out"), "--basename", "s"}, path("other"));
    EXPECT_EQ(run.code, 4);
    const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(
        lines[0].startsWith(QStringLiteral("koma: warning: slot 1 (1) not loaded: missing.png: ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("koma: warning: slot 2 (2) not loaded: ") +
                                    path("p/broken.png") + QStringLiteral(": ")))
        << lines[1].toStdString();
    // The frames are still written.
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files, QDir::Name),
              QStringList({"s00.bmp", "s01.bmp"}));
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 2);
}

}  // namespace
}  // namespace koma
