#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "codecs/frame_writer.h"
#include "codecs/gif/dib_capture.h"
#include "compose/compose_frame.h"
#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "support/apng_reader.h"
#include "support/gif_reader.h"
#include "support/pixels.h"
#include "support/stripe_scene.h"
#include "support/webp_reader.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;
using test::solid;

// The stripe scene, with a bar whose middle pixel is black, the background's key colour.
class ExportFormatsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        test::load_stripe_scene(m, dir.path(), "MRKRM");
        m.pattern_anime.set_text(QStringLiteral("1212"));
    }

    /// The stage ComposeFrame draws for `step`, with the coverage as alpha when `clear`.
    QImage expected(int step, bool clear) { return test::composed_step(m, step, clear); }

    std::expected<ExportSummary, QString> export_as(OutputFormat format) {
        if (format == OutputFormat::Gif) output_GIF_Click(m);
        m.export_settings.extra_format = format;
        return bt_exec_Click(m);
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    /// Every step of the export as the file decodes back.
    std::vector<QImage> decoded(OutputFormat format) {
        switch (format) {
            case OutputFormat::Apng:
                return test::decode_apng_file(dir.filePath("walk.png")).frames;
            case OutputFormat::Webp: {
                const auto webp = test::decode_webp_file(dir.filePath("walk.webp"));
                std::vector<QImage> steps;
                for (size_t i = 0; i < webp.frames.size(); ++i) {
                    for (int t = 0; t < webp.durations_ms[i]; t += m.export_settings.frame_ms) {
                        steps.push_back(webp.frames[i]);
                    }
                }
                return steps;
            }
            case OutputFormat::Gif:
                return test::decode_gif(dir.filePath("walk.gif")).clear_frames;
            case OutputFormat::Png:
            case OutputFormat::Bmp: {
                std::vector<QImage> steps;
                const char* ext = format == OutputFormat::Png ? ".png" : ".bmp";
                for (int i = 0; i < 4; ++i) {
                    steps.emplace_back(dir.filePath(QStringLiteral("walk0%1").arg(i) + ext));
                }
                return steps;
            }
            default:
                break;
        }
        return {};
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
};

// --- the format in force ---

TEST_F(ExportFormatsTest, TheExtraFormatWinsOnlyForPngApngAndWebp) {
    m.gif_mode = -1;
    for (OutputFormat f : {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp}) {
        m.export_settings.extra_format = f;
        EXPECT_EQ(format_in_force(m), f);
    }
    m.export_settings.extra_format = OutputFormat::Bmp;
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    m.gif_mode = 0;
    m.export_settings.extra_format = OutputFormat::Gif;
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
}

TEST_F(ExportFormatsTest, FileNames) {
    EXPECT_EQ(png_file_name("/a", "w", 3), "/a/w03.png");
    EXPECT_EQ(apng_file_name("/a", "w"), "/a/w.png");
    EXPECT_EQ(webp_file_name("/a/", "w"), "/a//w.webp");
}

// --- every step decodes back exactly ---

TEST_F(ExportFormatsTest, EveryFormatHoldsTheComposedStages) {
    const std::vector<std::pair<OutputFormat, QStringList>> cases = {
        {OutputFormat::Png, {"walk00.png", "walk01.png", "walk02.png", "walk03.png"}},
        {OutputFormat::Apng, {"walk.png"}},
        {OutputFormat::Webp, {"walk.webp"}},
    };
    for (const auto& [format, names] : cases) {
        for (const QString& f : files()) QFile::remove(dir.filePath(f));
        const auto result = export_as(format);
        ASSERT_TRUE(result) << result.error().toStdString();
        EXPECT_EQ(files(), names);
        EXPECT_EQ(result->files.size(), names.size());
        EXPECT_TRUE(result->notices.empty());
        EXPECT_TRUE(export_message(result).text.isEmpty());
        const std::vector<QImage> steps = decoded(format);
        ASSERT_EQ(steps.size(), 4u) << static_cast<int>(format);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(pixel_difference(steps[static_cast<size_t>(i)], expected(i, false)), "")
                << "format " << static_cast<int>(format) << " step " << i;
        }
    }
    EXPECT_EQ(m.pattern_pos, 3);
}

// --- transparency ---

TEST_F(ExportFormatsTest, TransparencyClearsOnlyTheBackgroundsOwnKeyPixels) {
    m.export_settings.transparent = true;
    // Step 0: the bar lies at 0..4 on row 0; its middle pixel (2, 0) is black like the
    // background's key, and stays opaque.
    const QImage step0 = expected(0, true);
    EXPECT_EQ(step0.pixel(2, 0), 0xFF000000u);
    EXPECT_EQ(qAlpha(step0.pixel(5, 0)), 0);
    EXPECT_EQ(step0.pixel(3, 1), 0xFFFFFF00u);   // the background's other colour
    EXPECT_EQ(step0.pixel(11, 2), 0xFF0000FFu);  // the foreground
    for (OutputFormat format :
         {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp, OutputFormat::Gif}) {
        for (const QString& f : files()) QFile::remove(dir.filePath(f));
        const auto result = export_as(format);
        ASSERT_TRUE(result) << result.error().toStdString();
        EXPECT_TRUE(result->notices.empty());
        const std::vector<QImage> steps = decoded(format);
        ASSERT_EQ(steps.size(), 4u) << static_cast<int>(format);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(pixel_difference(steps[static_cast<size_t>(i)], expected(i, true)), "")
                << "format " << static_cast<int>(format) << " step " << i;
        }
    }
    EXPECT_EQ(dib_count(), 0);
}

TEST_F(ExportFormatsTest, BmpStaysOpaqueAndSaysSo) {
    m.export_settings.transparent = true;
    const auto result = export_as(OutputFormat::Bmp);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->notices.size(), 1u);
    EXPECT_EQ(result->notices[0].kind, ExportNotice::Kind::BmpOpaque);
    const ExportMessage message = export_message(result);
    EXPECT_FALSE(message.is_error);
    EXPECT_TRUE(message.text.contains(QStringLiteral("BMP")));
    const std::vector<QImage> steps = decoded(OutputFormat::Bmp);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pixel_difference(steps[static_cast<size_t>(i)], expected(i, false)), "");
    }
}

// --- frame time and loop count ---

TEST_F(ExportFormatsTest, FrameTimeAndLoopCountReachEveryAnimation) {
    m.export_settings.frame_ms = 50;
    m.export_settings.loop_count = 3;
    ASSERT_TRUE(export_as(OutputFormat::Apng));
    const auto apng = test::decode_apng_file(dir.filePath("walk.png"));
    EXPECT_EQ(apng.num_plays, 3);
    EXPECT_EQ(apng.delays_ms, std::vector<double>(4, 50));

    ASSERT_TRUE(export_as(OutputFormat::Webp));
    const auto webp = test::decode_webp_file(dir.filePath("walk.webp"));
    EXPECT_EQ(webp.loop_count, 3);
    int total = 0;
    for (int d : webp.durations_ms) total += d;
    EXPECT_EQ(total, 200);

    m.export_settings.extra_format = OutputFormat::Bmp;
    const auto gif_result = export_as(OutputFormat::Gif);
    ASSERT_TRUE(gif_result);
    EXPECT_TRUE(gif_result->notices.empty());
    const auto gif = test::decode_gif(dir.filePath("walk.gif"));
    EXPECT_EQ(gif.delays, std::vector<int>(4, 5));
    EXPECT_EQ(gif.loop_count, 2);  // repeats after the first play
}

TEST_F(ExportFormatsTest, AGifTimeOffTheHundredthsIsRoundedAndToldOnce) {
    m.export_settings.frame_ms = 45;
    const auto result = export_as(OutputFormat::Gif);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->notices.size(), 1u);
    EXPECT_EQ(result->notices[0], (ExportNotice{ExportNotice::Kind::GifTimeRounded, 45, 40}));
    EXPECT_EQ(test::decode_gif(dir.filePath("walk.gif")).delays, std::vector<int>(4, 4));
    const ExportMessage message = export_message(result);
    EXPECT_FALSE(message.is_error);
    EXPECT_TRUE(message.text.contains(QStringLiteral("45")));
    EXPECT_TRUE(message.text.contains(QStringLiteral("40")));
    EXPECT_TRUE(notice_line(result->notices[0]).contains(QStringLiteral("40 ms")));

    // APNG holds milliseconds: nothing to tell.
    const auto apng = export_as(OutputFormat::Apng);
    ASSERT_TRUE(apng);
    EXPECT_TRUE(apng->notices.empty());
}

TEST_F(ExportFormatsTest, AnimationsRefuseFrameTimesPlayersDoNotHonour) {
    m.export_settings.frame_ms = kMinFrameMs - 1;
    for (OutputFormat format : {OutputFormat::Apng, OutputFormat::Webp, OutputFormat::Gif}) {
        const auto result = export_as(format);
        ASSERT_FALSE(result) << static_cast<int>(format);
        EXPECT_TRUE(result.error().contains(QStringLiteral("19 ms")));
    }
    EXPECT_TRUE(files().isEmpty());
    m.export_settings.frame_ms = kMinFrameMs;
    m.export_settings.loop_count = kMaxLoopCount + 1;
    EXPECT_FALSE(export_as(OutputFormat::Apng));
    m.export_settings.loop_count = 0;
    EXPECT_TRUE(export_as(OutputFormat::Apng));

    // A sequence has no frame time to refuse.
    m.export_settings.frame_ms = 5;
    m.gif_mode = 0;
    m.export_settings.extra_format = OutputFormat::Bmp;
    EXPECT_TRUE(bt_exec_Click(m));
}

}  // namespace
}  // namespace koma
