#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

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

using test::pixel_difference;

// The stripe scene played ping-pong over five steps, some held for times of their own: the
// frames played are the steps 0 1 2 3 4 3 2 1.
class TimedExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        test::load_stripe_scene(m, dir.path(), "MRRRM");
        m.pattern_anime.set_text(QStringLiteral("12121"));
        m.project.direction = PlayDirection::PingPong;
        m.step_ms[1] = 120;
        m.step_ms[3] = 45;
        m.step_ms[4] = 55;
    }
    std::expected<ExportSummary, QString> export_as(OutputFormat format) {
        if (format == OutputFormat::Gif) output_GIF_Click(m);
        m.export_settings.extra_format = format;
        return bt_exec_Click(m);
    }
    void expect_played(const std::vector<QImage>& frames, const char* format) {
        ASSERT_EQ(frames.size(), kPlayed.size()) << format;
        for (size_t i = 0; i < kPlayed.size(); ++i) {
            EXPECT_EQ(pixel_difference(frames[i], test::composed_step(m, kPlayed[i])), "")
                << format << " frame " << i;
        }
    }

    const std::vector<int> kPlayed{0, 1, 2, 3, 4, 3, 2, 1};
    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
};

TEST_F(TimedExportTest, AnimationsHoldEveryFrameForItsStepsTimeInTheOrderPlayed) {
    ASSERT_TRUE(export_as(OutputFormat::Apng));
    const auto apng = test::decode_apng_file(dir.filePath("walk.png"));
    ASSERT_EQ(apng.error.toStdString(), "");
    expect_played(apng.frames, "APNG");
    EXPECT_EQ(apng.delays_ms, (std::vector<double>{80, 120, 80, 45, 55, 45, 80, 120}));

    ASSERT_TRUE(export_as(OutputFormat::Webp));
    const auto webp = test::decode_webp_file(dir.filePath("walk.webp"));
    ASSERT_EQ(webp.error.toStdString(), "");
    expect_played(webp.frames, "WebP");
    EXPECT_EQ(webp.durations_ms, (std::vector<int>{80, 120, 80, 45, 55, 45, 80, 120}));

    m.export_settings.extra_format = OutputFormat::Bmp;
    const auto gif_result = export_as(OutputFormat::Gif);
    ASSERT_TRUE(gif_result);
    const auto gif = test::decode_gif(dir.filePath("walk.gif"));
    ASSERT_EQ(gif.error.toStdString(), "");
    expect_played(gif.frames, "GIF");
    // Hundredths, halves to even: 45 ms is 4, 55 ms is 6.
    EXPECT_EQ(gif.delays, (std::vector<int>{8, 12, 8, 4, 6, 4, 8, 12}));
    // Told once, however many frames and times were rounded.
    ASSERT_EQ(gif_result->notices.size(), 1u);
    EXPECT_EQ(gif_result->notices[0],
              (ExportNotice{ExportNotice::Kind::GifTimeRounded, 45, 40, 1}));
    EXPECT_TRUE(notice_line(gif_result->notices[0]).contains(QStringLiteral("1 other")));
    EXPECT_TRUE(export_message(gif_result).text.contains(QStringLiteral("1 通り")));
}

TEST_F(TimedExportTest, ATransparentGifKeepsTheTimesOfItsFramesToo) {
    m.export_settings.transparent = true;  // the GIF writer holds these frames until the end
    ASSERT_TRUE(export_as(OutputFormat::Gif));
    const auto gif = test::decode_gif(dir.filePath("walk.gif"));
    ASSERT_EQ(gif.error.toStdString(), "");
    EXPECT_EQ(gif.delays, (std::vector<int>{8, 12, 8, 4, 6, 4, 8, 12}));
}

TEST_F(TimedExportTest, SequencesNumberTheirFilesInTheOrderPlayed) {
    const auto result = bt_exec_Click(m);
    ASSERT_TRUE(result) << result.error().toStdString();
    ASSERT_EQ(result->files.size(), 8);
    std::vector<QImage> frames;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(result->files[i], bmp_file_name(dir.path(), QStringLiteral("walk"), i));
        frames.emplace_back(result->files[i]);
    }
    expect_played(frames, "BMP");
    EXPECT_EQ(m.pattern_pos, 1);  // the step of the last frame played
}

TEST_F(TimedExportTest, AStepTimeOutOfRangeIsRefusedBeforeAnythingIsWritten) {
    m.step_ms[2] = 5;  // never typed or read so, but refused all the same
    const auto result = export_as(OutputFormat::Webp);
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error().contains(QStringLiteral("step 02"))) << result.error().toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList({"walk*"}, QDir::Files).isEmpty());
}

TEST(GifRoundingNotice, OnlyTimesOffTheHundredthsCountAndEachOnce) {
    EXPECT_FALSE(gif_rounding_notice({{0, 80}, {1, 120}, {2, 20}}).has_value());
    const auto notice = gif_rounding_notice({{0, 80}, {1, 25}, {2, 33}, {3, 25}, {4, 33}, {5, 47}});
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(*notice, (ExportNotice{ExportNotice::Kind::GifTimeRounded, 25, 20, 2}));
}

}  // namespace
}  // namespace koma
