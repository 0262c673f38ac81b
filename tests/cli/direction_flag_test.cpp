#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "state/load_save.h"
#include "support/koma_process.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;

// A state file played ping-pong: three steps showing red, green and blue at column 1 of a 3 x 1
// black stage, step 1 held 250 ms, basename "walk".
class DirectionFlagTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(test::solid(3, 1, 0xFF000000u).save(path("bg.png")));
        const char* frames[] = {"MR", "MG", "MB"};
        EditingModel m(dir.path());
        Form1_Load(m);
        m.slot_files[0] = path("bg.png");
        for (int i = 0; i < 3; ++i) {
            const QString name = QStringLiteral("f%1.png").arg(i + 1);
            ASSERT_TRUE(from_rows({frames[i]}).save(path(name)));
            m.slot_files[i + 1] = path(name);
        }
        m.pattern_anime.set_text(QStringLiteral("123"));
        m.step_ms[1] = 250;
        m.project.direction = PlayDirection::PingPong;
        m.basename.set_text(QStringLiteral("walk"));
        m.export_lists.set_path(dir.path());
        m.work_path = path("state.pst");
        m.state_mode = 2;
        ASSERT_TRUE(load_save(m).has_value());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    test::KomaRun koma_export(QStringList options) {
        options.prepend(path("state.pst"));
        options.prepend(QStringLiteral("export"));
        return test::run_koma_binary(options, dir.path());
    }
    // The colour each BMP of the export shows at column 1, in file order.
    std::string shown() const {
        std::string colours;
        for (const QString& name :
             QDir(dir.path()).entryList({"walk*.bmp"}, QDir::Files, QDir::Name)) {
            colours += test::row_of(QImage(path(name)).convertToFormat(QImage::Format_RGB32), 0)[1];
        }
        return colours;
    }

    QTemporaryDir dir;
};

TEST_F(DirectionFlagTest, TheFilesDirectionPlaysUnlessTheCommandLineSaysOtherwise) {
    test::KomaRun run = koma_export({});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 4);
    EXPECT_EQ(shown(), "RGBG");  // walk00 to walk03 in the order played

    for (const QString& file : QDir(dir.path()).entryList({"walk*"}, QDir::Files)) {
        QFile::remove(path(file));
    }
    run = koma_export({"--direction", "FORWARD"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(shown(), "RGB");
    run = koma_export({"--direction=pingpong", "--basename", "other"});
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 4);
}

TEST_F(DirectionFlagTest, AWrongOrRepeatedDirectionIsOneClearLine) {
    for (const QStringList& options :
         {QStringList{"--direction", "backward"}, QStringList{"--direction"},
          QStringList{"--direction=forward", "--direction", "pingpong"}}) {
        const test::KomaRun run = koma_export(options);
        EXPECT_EQ(run.code, 1) << options.join(' ').toStdString();
        EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("--direction"))) << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).entryList({"walk*"}, QDir::Files).isEmpty());
}

}  // namespace
}  // namespace koma
