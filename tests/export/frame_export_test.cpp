#include "export/frame_export.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "codecs/gif/dib_capture.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "export/output_format.h"
#include "support/apng_reader.h"
#include "support/gif_reader.h"
#include "support/pixels.h"
#include "support/stripe_scene.h"

namespace koma {
namespace {

using test::from_rows;
using test::solid;

// The stripe scene with a red bar.
class FrameExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        test::load_stripe_scene(m, dir.path(), "MRRRM");
    }

    /// The stage that ComposeFrame draws for `step`, leaving the model as it was.
    QImage composed(int step) { return test::composed_step(m, step); }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
};

TEST_F(FrameExportTest, BmpSequenceHoldsEveryComposedStep) {
    m.pattern_anime.set_text(QStringLiteral("1212"));
    const auto result = bt_exec_Click(m);
    ASSERT_TRUE(result.has_value()) << result.error().toStdString();
    const QStringList expected{"walk00.bmp", "walk01.bmp", "walk02.bmp", "walk03.bmp"};
    EXPECT_EQ(files(), expected);
    ASSERT_EQ(result->files.size(), 4);
    EXPECT_EQ(result->files[0], dir.path() + "/walk00.bmp");
    EXPECT_EQ(m.pattern_pos, 3);
    EXPECT_EQ(m.win_main.image(), composed(3));
    for (int i = 0; i < 4; ++i) {
        const QImage written(dir.filePath(expected[i]));
        EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), composed(i)) << "step " << i;
    }
    // The steps really differ, so a file of the wrong step would have been noticed.
    EXPECT_NE(composed(0), composed(1));
    EXPECT_NE(composed(0), composed(2));
}

TEST_F(FrameExportTest, StepNumbersHaveTwoDigits) {
    m.pattern_anime.set_text(QStringLiteral("12121212121"));
    ASSERT_TRUE(bt_exec_Click(m).has_value());
    const QStringList names = files();
    ASSERT_EQ(names.size(), 11);
    EXPECT_EQ(names.front(), "walk00.bmp");
    EXPECT_EQ(names[9], "walk09.bmp");
    EXPECT_EQ(names.back(), "walk10.bmp");
    EXPECT_EQ(step_number_text(90), "90");
    EXPECT_EQ(bmp_file_name("/", "", 7), "//07.bmp");
    EXPECT_EQ(gif_file_name("/a/", "x"), "/a//x.gif");
}

TEST_F(FrameExportTest, GifHoldsOneImagePerStepEqualToTheComposedStage) {
    output_GIF_Click(m);
    m.pattern_anime.set_text(QStringLiteral("1212"));
    const auto result = bt_exec_Click(m);
    ASSERT_TRUE(result.has_value()) << result.error().toStdString();
    EXPECT_EQ(files(), QStringList{"walk.gif"});
    EXPECT_EQ(result->files, QStringList{dir.path() + "/walk.gif"});
    EXPECT_EQ(dib_count(), 0);  // every capture released

    const test::DecodedGif gif = test::decode_gif(dir.filePath("walk.gif"));
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    ASSERT_EQ(gif.frames.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(gif.frames[i], composed(i)) << "step " << i;
    }
    EXPECT_EQ(gif.delays, std::vector<int>(4, 8));
    EXPECT_EQ(gif.loop_count, 0);
}

// More colours than a GIF holds: every pixel of the background its own colour, so the colours
// must be reduced. Steps that compose to the same stage must still decode to the same picture,
// also after a step that differs.
TEST_F(FrameExportTest, GifStepsEqualOnTheStageDecodeEquallyWhenColoursAreReduced) {
    QImage background(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) background.setPixel(x, y, qRgb(x * 4, y * 8, (x + y) * 2));
    }
    m.pic[0].set_picture(background);
    m.win_main.resize_pixels(64, 32);
    m.pic[1].set_picture(from_rows({"MRRRRM", "RRGGRR", "MRRRRM"}));
    m.sc_bar.set_value(0);
    m.adjust_x.set_value(9);  // step 4 draws the keyed background 9 px to the right
    m.adjust_y.set_value(5);
    m.pattern_anime.set_text(QStringLiteral("1111011"));
    output_GIF_Click(m);
    ASSERT_TRUE(bt_exec_Click(m).has_value());

    const test::DecodedGif gif = test::decode_gif(dir.filePath("walk.gif"));
    ASSERT_TRUE(gif.error.isEmpty()) << gif.error.toStdString();
    ASSERT_EQ(gif.frames.size(), 7u);
    ASSERT_NE(composed(4), composed(0));
    for (int step : {1, 2, 3, 5, 6}) {
        ASSERT_EQ(composed(step), composed(0));
        EXPECT_EQ(gif.frames[step], gif.frames[0]) << "step " << step;
    }
    EXPECT_NE(gif.frames[4], gif.frames[0]);
}

TEST_F(FrameExportTest, EmptyPatternWritesNothingAndSaysSo) {
    m.pattern_pos = 2;
    for (int16_t gif : {int16_t{0}, int16_t{-1}}) {
        m.gif_mode = gif;
        m.win_main.fill(0xFF123456u);
        const auto result = bt_exec_Click(m);
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(result->files.isEmpty());
        EXPECT_TRUE(files().isEmpty());
        EXPECT_EQ(m.pattern_pos, 2);
        EXPECT_EQ(m.win_main.image(), solid(12, 3, kWindowColour));  // cleared, not composed
        const ExportMessage message = export_message(result);
        EXPECT_FALSE(message.is_error);
        EXPECT_FALSE(message.text.isEmpty());
    }
}

TEST_F(FrameExportTest, UnwritableFolderEndsTheExportNamingTheFile) {
    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString folder = dir.filePath("plain");
    m.export_lists.set_path(folder);
    m.pattern_anime.set_text(QStringLiteral("12"));

    auto result = bt_exec_Click(m);
    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(result.error().startsWith(folder + "/walk00.bmp: "))
        << result.error().toStdString();
    EXPECT_EQ(m.pattern_pos, 0);  // ended at the first step

    output_GIF_Click(m);
    result = bt_exec_Click(m);
    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(result.error().startsWith(folder + "/walk.gif: ")) << result.error().toStdString();
    EXPECT_EQ(dib_count(), 0);
    EXPECT_TRUE(export_message(result).is_error);
    EXPECT_TRUE(export_message(result).text.contains(folder + "/walk.gif"));
    EXPECT_EQ(files(), QStringList{"plain"});
}

TEST_F(FrameExportTest, ReadoutsKeepTheirValuesAndThePreviewStops) {
    m.pattern_anime.set_text(QStringLiteral("121"));
    m.step_dx[1] = 2;
    m.step_dy[1] = -1;
    m.pattern_pos = 1;
    ASSERT_TRUE(ComposeFrame(m, 1));
    m.anim_running = 1;
    m.timer1_interval = 80;
    m.anime.caption = QStringLiteral("テスト中断");
    m.step_dx[2] = 5;  // step 2 would read differently

    ASSERT_TRUE(bt_exec_Click(m).has_value());
    EXPECT_EQ(m.total_adjust_x.text(), "2");
    EXPECT_EQ(m.total_adjust_y.text(), "1");
    EXPECT_EQ(m.this_adjust_x.text(), "2");
    EXPECT_EQ(m.this_adjust_y.text(), "1");
    EXPECT_EQ(m.timer1_interval, 0);
    EXPECT_EQ(m.anim_running, 1);
    EXPECT_EQ(m.anime.caption, "テスト中断");
}

TEST_F(FrameExportTest, ExistingFilesAreReplaced) {
    QFile old(dir.filePath("walk00.bmp"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a picture");
    old.close();
    m.pattern_anime.set_text(QStringLiteral("2"));
    ASSERT_TRUE(bt_exec_Click(m).has_value());
    EXPECT_EQ(QImage(dir.filePath("walk00.bmp")).convertToFormat(QImage::Format_RGB32),
              composed(0));
}

TEST_F(FrameExportTest, AReadOnlyFileIsKeptAndEndsTheExportNamingIt) {
    const auto read_only = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    for (const QString name : {"walk01.bmp", "walk.gif"}) {
        QFile old(dir.filePath(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        ASSERT_TRUE(QFile::setPermissions(dir.filePath(name), read_only));
    }
    m.pattern_anime.set_text(QStringLiteral("121"));
    for (int16_t gif : {int16_t{0}, int16_t{-1}}) {
        m.gif_mode = gif;
        const QString blocked = dir.filePath(gif ? "walk.gif" : "walk01.bmp");
        const auto result = bt_exec_Click(m);
        ASSERT_FALSE(result.has_value()) << "gif_mode " << gif;
        EXPECT_TRUE(result.error().startsWith(blocked + ": ")) << result.error().toStdString();
        const ExportMessage message = export_message(result);
        EXPECT_TRUE(message.is_error);
        EXPECT_TRUE(message.text.contains(blocked));
        QFile kept(blocked);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), "kept");
    }
    EXPECT_EQ(dib_count(), 0);
    // A failed export leaves nothing of its own: not even the step before the refused file.
    EXPECT_EQ(files(), (QStringList{"walk.gif", "walk01.bmp"}));
}

TEST_F(FrameExportTest, AStepWhoseOffsetLeavesTheRangeEndsTheExport) {
    m.adjust_y.set_value(100);
    m.step_dy[0] = 32700;  // frame_y = 32800
    m.pattern_anime.set_text(QStringLiteral("11"));
    const auto result = bt_exec_Click(m);
    ASSERT_FALSE(result.has_value());
    EXPECT_TRUE(result.error().contains("00"));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(FrameExportTest, ProgressCountsEveryStepInOrderAfterItIsDone) {
    m.pattern_anime.set_text(QStringLiteral("1212"));
    struct Call {
        int done, total, pattern_pos, dibs;
        bool file_of_step;
    };
    for (int16_t gif : {int16_t{0}, int16_t{-1}}) {
        m.gif_mode = gif;
        const int dibs_before = dib_count();
        std::vector<Call> calls;
        const auto result = bt_exec_Click(m, [&](int done, int total) {
            // The step's file is written beside its name, to be put in place with the others.
            const QString bmp =
                QStringLiteral(".walk%1.bmp.").arg(done - 1, 2, 10, QLatin1Char('0'));
            const bool staged =
                !QDir(dir.path()).entryList({bmp + "*"}, QDir::Files | QDir::Hidden).isEmpty();
            calls.push_back(
                {done, total, m.pattern_pos, dib_count() - dibs_before, done > 0 && staged});
        });
        ASSERT_TRUE(result.has_value()) << result.error().toStdString();
        ASSERT_EQ(calls.size(), 5u) << "gif_mode " << gif;
        for (int i = 0; i <= 4; ++i) {
            EXPECT_EQ(calls[i].done, i);
            EXPECT_EQ(calls[i].total, 4);
            if (i > 0) {
                EXPECT_EQ(calls[i].pattern_pos, i - 1);  // reported once that step is out
                if (gif) {
                    EXPECT_EQ(calls[i].dibs, i);
                } else {
                    EXPECT_TRUE(calls[i].file_of_step) << "step " << i - 1;
                }
            }
        }
        for (const QString& name : files()) QFile::remove(dir.filePath(name));
    }
}

TEST_F(FrameExportTest, ProgressIsSilentForAnEmptyPatternAndStopsAtAFailure) {
    int calls = 0;
    const auto count = [&](int, int) { ++calls; };
    ASSERT_TRUE(bt_exec_Click(m, count).has_value());
    EXPECT_EQ(calls, 0);

    QFile plain(dir.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    m.export_lists.set_path(dir.filePath("plain"));
    m.pattern_anime.set_text(QStringLiteral("12"));
    std::vector<int> done;
    ASSERT_FALSE(bt_exec_Click(m, [&](int d, int) { done.push_back(d); }).has_value());
    EXPECT_EQ(done, std::vector<int>{0});  // step 0 could not be written
}

TEST_F(FrameExportTest, AnAnimatedPngSeesEveryStepTwiceAndEndsOnTheLastStep) {
    m.pattern_anime.set_text(QStringLiteral("1221"));
    m.export_settings.extra_format = OutputFormat::Apng;
    std::vector<std::pair<int, int>> calls;
    const auto result =
        bt_exec_Click(m, [&](int done, int total) { calls.emplace_back(done, total); });
    ASSERT_TRUE(result.has_value()) << result.error().toStdString();
    ASSERT_EQ(calls.size(), 9u);
    for (int i = 0; i <= 8; ++i) EXPECT_EQ(calls[static_cast<size_t>(i)], std::make_pair(i, 8));
    EXPECT_EQ(m.pattern_pos, 3);
    EXPECT_EQ(m.win_main.image(), composed(3));
    const test::DecodedApng apng = test::decode_apng_file(dir.filePath("walk.png"));
    ASSERT_EQ(apng.frames.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(test::pixel_difference(apng.frames[static_cast<size_t>(i)], composed(i)), "")
            << "step " << i;
    }
}

TEST(OutputFormatTest, ButtonsSwapAndSetTheFormat) {
    EditingModel m{QStringLiteral("/")};
    Form1_Load(m);
    EXPECT_EQ(m.gif_mode, 0);
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
    output_GIF_Click(m);
    EXPECT_EQ(m.gif_mode, -1);
    EXPECT_TRUE(m.output_bmp.visible);
    EXPECT_FALSE(m.output_GIF.visible);
    output_bmp_Click(m);
    EXPECT_EQ(m.gif_mode, 0);
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
}

}  // namespace
}  // namespace koma
