#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "model/slot_loader.h"
#include "state/write_state.h"
#include "support/file_bytes.h"
#include "support/file_watch_helpers.h"
#include "support/gif_reader.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

// "koma export --watch" running as a real process on a state file and its two images.
class WatchExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("out");
        ASSERT_TRUE(test::write_file(path("bg.png"), picture(6, 3, qRgb(0, 0, 0))));
        ASSERT_TRUE(test::from_rows({"MRR"}).save(path("one.png")));
        write_project("11");
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(KOMA_BINARY),
                      {"export", "--watch", "walk.pst", "--format", "gif", "--out", "out"});
        ASSERT_TRUE(process.waitForStarted());
    }
    void TearDown() override {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    static QByteArray picture(int width, int height, QRgb colour) {
        return test::encoded(test::solid(width, height, colour), "png");
    }
    void write_project(const QString& pattern) {
        EditingModel m(dir.path());
        Form1_Load(m);
        QString message;
        ASSERT_TRUE(load_slot_file(m, 0, path("bg.png"), false, message));
        ASSERT_TRUE(load_slot_file(m, 1, path("one.png"), false, message));
        m.pattern_anime.set_text(pattern);
        m.sc_bar.set_value(1);
        m.basename.set_text("walk");
        ASSERT_TRUE(write_state(m, path("walk.pst")));
    }
    /// Waits for the process to have printed `count` lines; returns them.
    QStringList lines(int count) {
        QElapsedTimer timer;
        timer.start();
        while (output.count('\n') < count && timer.elapsed() < 15000) {
            process.waitForReadyRead(200);
            output += QString::fromLocal8Bit(process.readAllStandardOutput());
        }
        return output.split('\n', Qt::SkipEmptyParts);
    }
    test::DecodedGif exported() { return test::decode_gif(path("out/walk.gif")); }

    QTemporaryDir dir;
    QProcess process;
    QString output;
};

TEST_F(WatchExportTest, ExportsAgainWhenAnImageOrTheStateFileChangesAndEndsOnSigterm) {
    ASSERT_EQ(lines(1).size(), 1) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(lines(1)[0].contains(" walk.pst: 1 file written in ")) << lines(1)[0].toStdString();
    EXPECT_EQ(exported().frames.size(), 2u);
    EXPECT_EQ(exported().frames[0].pixel(0, 0), qRgb(0, 0, 0));

    test::write_in_place(path("bg.png"), picture(6, 3, qRgb(0, 0, 255)));
    ASSERT_EQ(lines(2).size(), 2);
    EXPECT_EQ(exported().frames[0].pixel(0, 0), qRgb(0, 0, 255));

    // Replaced by a rename, as an editor saves.
    const QByteArray state = [&] {
        write_project("1111");
        return test::read_bytes(path("walk.pst"));
    }();
    test::replace_by_rename(path("walk.pst"), state);
    ASSERT_EQ(lines(3).size(), 3);
    EXPECT_EQ(exported().frames.size(), 4u);

    process.terminate();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardError(), "");
    // Nothing but the export itself is left in the folder.
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files), QStringList{"walk.gif"});
}

TEST_F(WatchExportTest, AFailedExportSaysWhyAndWaitsForTheNextChange) {
    ASSERT_EQ(lines(1).size(), 1);
    ASSERT_TRUE(QDir(path("out")).removeRecursively());
    test::write_in_place(path("one.png"), test::encoded(test::from_rows({"MGG"}), "png"));
    ASSERT_EQ(lines(2).size(), 2);
    EXPECT_TRUE(lines(2)[1].contains("walk.pst: not exported")) << lines(2)[1].toStdString();
    QDir(dir.path()).mkpath("out");
    test::write_in_place(path("one.png"), test::encoded(test::from_rows({"MBB"}), "png"));
    ASSERT_EQ(lines(3).size(), 3);
    EXPECT_EQ(exported().frames[0].pixel(1, 0), qRgb(0, 0, 255));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardError().startsWith("koma: cannot export: "));
}

}  // namespace
}  // namespace koma
