#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "support/file_bytes.h"
#include "support/image_files.h"
#include "support/stripe_scene.h"

namespace koma {
namespace {

// An export into a folder that holds files of an earlier export.
class ExportCancelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        test::load_stripe_scene(m, dir.path(), "MRRRM");
        m.pattern_anime.set_text(QStringLiteral("1212"));
        for (const char* name : {"walk00.bmp", "walk02.bmp", "walk.gif"}) {
            ASSERT_TRUE(test::write_file(dir.filePath(name), name));
        }
        before = everything();
    }
    /// Every file of the folder, hidden ones too, with its content.
    QStringList everything() const {
        QStringList out;
        for (const QString& name :
             QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            out << name + "=" + QString::fromLatin1(test::read_bytes(dir.filePath(name)));
        }
        return out;
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    QStringList before;
};

TEST_F(ExportCancelTest, ACancelLeavesEveryFileAsItWas) {
    // BMP half-way; GIF after its last step, before the file is put in place.
    for (const auto& [gif, stop_at] : {std::pair{int16_t{0}, 2}, std::pair{int16_t{-1}, 4}}) {
        m.gif_mode = gif;
        int reported = 0;
        const auto result = bt_exec_Click(
            m, [&](int done, int) { reported = done; }, [&] { return reported == stop_at; });
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(result->cancelled);
        EXPECT_TRUE(result->files.isEmpty());
        EXPECT_EQ(everything(), before) << "gif_mode " << gif;
        EXPECT_EQ(m.status.message(), "書き出しを取り消しました（ファイルは元のままです）");
    }
    m.gif_mode = 0;
    ASSERT_TRUE(bt_exec_Click(m).has_value());
    EXPECT_EQ(m.status.message(), "書き出しました: " + dir.path() + " (4 ファイル)");
}

TEST_F(ExportCancelTest, AnAnimatedPngCancelledInEitherWalkLeavesEveryFileAsItWas) {
    m.export_settings.extra_format = OutputFormat::Apng;
    ASSERT_TRUE(test::write_file(dir.filePath("walk.png"), "walk.png"));
    before = everything();
    // Four steps seen twice: 2 is in the survey, 6 while the frames are coded, 8 after the last.
    for (const int stop_at : {2, 6, 8}) {
        int reported = 0;
        const auto result = bt_exec_Click(
            m, [&](int done, int) { reported = done; }, [&] { return reported == stop_at; });
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(result->cancelled);
        EXPECT_EQ(everything(), before) << "stopped at " << stop_at;
    }
    const auto written = bt_exec_Click(m);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->files, QStringList{dir.filePath("walk.png")});
    EXPECT_NE(everything(), before);
}

TEST_F(ExportCancelTest, AFailureHalfWayLeavesEveryFileAsItWas) {
    // The third step's file may not be replaced.
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("walk02.bmp"), QFile::ReadOwner));
    const auto result = bt_exec_Click(m);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error(), dir.filePath("walk02.bmp") + ": the file is read-only");
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(m.status.message(), "書き出せませんでした: " + dir.path());
    EXPECT_TRUE(m.status.failed());
}

}  // namespace
}  // namespace koma
