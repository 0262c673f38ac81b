// State files and options from someone else: base names that would write outside the export
// folder, and exports that need more memory than there is.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "support/file_bytes.h"
#include "support/image_files.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::run_koma_binary;

class HostileStateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("p/out")));
        ASSERT_TRUE(test::solid(6, 2, qRgb(0, 0, 255)).save(path("p/sky.png")));
        test::write_bytes(path("p/victim.txt"), "precious");
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    /// p/walk.pst: background `background`, pattern "11", base name `basename`.
    QString state(const QByteArray& basename, const QByteArray& background = "sky.png") {
        QByteArray bytes = "\"" + background + "\"\r\n";
        for (int i = 1; i < 11; ++i) bytes += "\"\"\r\n";
        bytes += "0,0,0,\"11\",\"\",\"\",\"" + basename + "\",\"\"\r\n0,0\r\n0,0\r\n";
        bytes += "#TRUE#,255,90,30\r\n";
        test::write_bytes(path("p/walk.pst"), bytes);
        return path("p/walk.pst");
    }
    /// Every file in p/ and p/out/.
    QStringList files() const {
        QStringList found = QDir(path("p")).entryList(QDir::Files, QDir::Name);
        for (const QString& name : QDir(path("p/out")).entryList(QDir::Files)) {
            found << QStringLiteral("out/") + name;
        }
        return found;
    }
    QTemporaryDir dir;
};

TEST_F(HostileStateTest, ABaseNameThatLeavesTheFolderIsNotExported) {
    const QStringList before{"sky.png", "victim.txt", "walk.pst"};
    for (const QByteArray& bad : {QByteArray("../escaped"), QByteArray("../victim.txt\0", 14),
                                  QByteArray(".."), QByteArray(""), QByteArray("a\\b")}) {
        for (const char* format : {"gif", "bmp"}) {
            const auto run = run_koma_binary(
                {"export", state(bad), "--format", format, "--out", path("p/out")}, path("p"));
            EXPECT_EQ(run.code, 2) << bad.toStdString() << ": " << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(path("p/walk.pst"))) << run.err.toStdString();
            EXPECT_TRUE(run.err.contains(QStringLiteral("base name"))) << run.err.toStdString();
            EXPECT_EQ(files(), before);
        }
    }
    EXPECT_EQ(test::read_bytes(path("p/victim.txt")), "precious");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{});
    // A bad --basename is a wrong command line; a good one with a good file writes.
    for (const char* bad : {"../x", "a/b", "..", "tab\tname"}) {
        const auto run = run_koma_binary({"export", state("walk"), "--basename", bad}, path("p"));
        EXPECT_EQ(run.code, 1) << bad;
        EXPECT_TRUE(run.err.contains(QStringLiteral("--basename"))) << run.err.toStdString();
    }
    const auto good = run_koma_binary(
        {"export", state("walk"), "--format", "gif", "--out", path("p/out")}, path("p"));
    EXPECT_EQ(good.code, 0) << good.err.toStdString();
    EXPECT_EQ(files(), (QStringList{"sky.png", "victim.txt", "walk.pst", "out/walk.gif"}));
}

TEST_F(HostileStateTest, ForeignAndCutPicturesAreNotLoaded) {
    const QByteArray gif(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x21\xf9\x04\x01\x00\x00\x00"
        "\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
        43);
    test::write_bytes(path("p/photo.jpg"), gif);
    const QByteArray jpeg = test::encoded(test::solid(64, 64, qRgb(9, 200, 9)), "jpg");
    test::write_bytes(path("p/cut.jpg"), jpeg.left(jpeg.size() / 2));
    for (const auto& [file, reason] : {std::pair{"photo.jpg", "GIF pictures are not read"},
                                       std::pair{"cut.jpg", "not an image that can be read"}}) {
        const auto run = run_koma_binary(
            {"export", state("walk", file), "--format", "gif", "--out", path("p/out")}, path("p"));
        EXPECT_EQ(run.code, 4) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(reason))) << run.err.toStdString();
    }
}

TEST_F(HostileStateTest, AnExportOverTheMemoryBudgetIsRefused) {
    // A 600 x 500 stage needs more than 1 MiB in any format.
    ASSERT_TRUE(test::solid(600, 500, qRgb(0, 0, 255)).save(path("p/wide.png")));
    const auto run = run_koma_binary({"export", state("walk", "wide.png"), "--format", "apng",
                                      "--out", path("p/out"), "--memory-limit", "1"},
                                     path("p"));
    EXPECT_EQ(run.code, 3) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("memory budget of 1 MiB")))
        << run.err.toStdString();
    EXPECT_EQ(files(), (QStringList{"sky.png", "victim.txt", "walk.pst", "wide.png"}));
    for (const char* bad : {"0", "1048577", "lots"}) {
        EXPECT_EQ(run_koma_binary({"export", state("walk"), "--memory-limit", bad}, path("p")).code,
                  1);
    }
}

TEST_F(HostileStateTest, AnExportThatRunsOutOfMemoryEndsWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
#else
    // A 1-bit PNG of 8 MiB that decodes to a 256 MiB background: the program reads it within
    // the limit, but the stages of the export do not fit beside it.
    QImage big(8192, 8192, QImage::Format_Mono);
    big.setColorTable({qRgb(10, 20, 30), qRgb(200, 100, 0)});
    big.fill(0);
    ASSERT_TRUE(big.save(path("p/big.png")));
    for (const char* format : {"apng", "gif"}) {
        QProcess process;
        process.setWorkingDirectory(path("p"));
        process.setChildProcessModifier([] {
            const rlim_t limit = rlim_t{1100} * 1024 * 1024;
            const rlimit as{limit, limit};
            setrlimit(RLIMIT_AS, &as);
        });
        process.start(QStringLiteral(KOMA_BINARY),
                      {"export", state("walk", "big.png"), "--format", format, "--transparent",
                       "--memory-limit", "100000", "--out", path("p/out")});
        ASSERT_TRUE(process.waitForFinished(120000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << format;
        EXPECT_EQ(process.exitCode(), 3) << format << ": " << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("not enough memory for a 8192 x 8192 stage")))
            << err.toStdString();
        EXPECT_EQ(QDir(path("p/out")).entryList(QDir::Files), QStringList{});
    }
#endif
}

}  // namespace
}  // namespace koma
