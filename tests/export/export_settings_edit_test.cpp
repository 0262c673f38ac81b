#include "export/export_settings_edit.h"

#include <gtest/gtest.h>

#include "compose/animation_preview.h"
#include "compose/startup.h"
#include "export/output_format.h"

namespace koma {
namespace {

class ExportSettingsEditTest : public ::testing::Test {
  protected:
    void SetUp() override { Form1_Load(m); }

    EditingModel m{QStringLiteral("/")};
};

// The format in force: the format buttons and the settings' own formats as one choice.

TEST_F(ExportSettingsEditTest, ButtonsDecideUnlessTheSettingsHoldPngApngOrWebp) {
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    m.gif_mode = 1;  // any non-zero value means GIF
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    // A stale Bmp or Gif in the settings never outvotes the buttons.
    m.export_settings.extra_format = OutputFormat::Bmp;
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    for (OutputFormat extra : {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp}) {
        m.export_settings.extra_format = extra;
        EXPECT_EQ(format_in_force(m), extra);
    }
}

TEST_F(ExportSettingsEditTest, AButtonClickGoesBackToTheButtonsChoice) {
    choose_output_format(m, OutputFormat::Apng);
    EXPECT_EQ(m.gif_mode, 0);
    output_GIF_Click(m);
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    EXPECT_EQ(m.export_settings.extra_format, OutputFormat::Gif);

    choose_output_format(m, OutputFormat::Webp);
    EXPECT_EQ(m.gif_mode, -1);
    output_bmp_Click(m);
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    EXPECT_EQ(m.export_settings.extra_format, OutputFormat::Bmp);
}

TEST_F(ExportSettingsEditTest, ChoosingBmpOrGifMovesTheButtons) {
    choose_output_format(m, OutputFormat::Gif);
    EXPECT_EQ(m.gif_mode, -1);
    EXPECT_TRUE(m.output_bmp.visible);
    EXPECT_FALSE(m.output_GIF.visible);
    choose_output_format(m, OutputFormat::Bmp);
    EXPECT_EQ(m.gif_mode, 0);
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
}

// Frame time and loop count: refused values change nothing and say why.

TEST_F(ExportSettingsEditTest, FrameTimesOutsideTwentyTo65535MillisecondsAreRefused) {
    ASSERT_TRUE(set_frame_ms(m, 40));
    const auto refused = set_frame_ms(m, 19);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains("20")) << refused.error().toStdString();
    // Values beyond int must not wrap into the range.
    for (int64_t ms : {int64_t{0}, int64_t{-80}, int64_t{kMaxFrameMs + 1}, int64_t{1} << 32 | 80}) {
        EXPECT_FALSE(set_frame_ms(m, ms)) << ms;
    }
    EXPECT_EQ(m.export_settings.frame_ms, 40);
    EXPECT_TRUE(set_frame_ms(m, kMinFrameMs));
    EXPECT_TRUE(set_frame_ms(m, kMaxFrameMs));
    EXPECT_EQ(m.export_settings.frame_ms, kMaxFrameMs);
}

TEST_F(ExportSettingsEditTest, LoopCountsFromZeroTo65535AreTakenOthersRefused) {
    EXPECT_TRUE(set_loop_count(m, 65535));
    EXPECT_TRUE(set_loop_count(m, 3));
    const auto negative = set_loop_count(m, -1);
    ASSERT_FALSE(negative);
    EXPECT_TRUE(negative.error().contains("65535")) << negative.error().toStdString();
    EXPECT_FALSE(set_loop_count(m, 65536));
    EXPECT_FALSE(set_loop_count(m, int64_t{1} << 32 | 3));
    EXPECT_EQ(m.export_settings.loop_count, 3);
}

// The preview plays at the frame time.

TEST_F(ExportSettingsEditTest, PreviewPlaysAtTheFrameTimeAndAPausedOneStaysPaused) {
    m.pattern_anime.set_text(QStringLiteral("12"));
    anime_click(m);
    EXPECT_EQ(m.timer1_interval, 80);
    ASSERT_TRUE(set_frame_ms(m, 40));
    EXPECT_EQ(m.timer1_interval, 40);
    anime_click(m);
    ASSERT_TRUE(set_frame_ms(m, 125));
    EXPECT_EQ(m.timer1_interval, 0);  // a stopped preview does not start
    anime_click(m);
    EXPECT_EQ(m.timer1_interval, 125);

    // What an export does to the preview: the timer stops, the test is still on.
    m.timer1_interval = 0;
    ASSERT_TRUE(set_frame_ms(m, 60));
    EXPECT_EQ(m.timer1_interval, 0);
}

}  // namespace
}  // namespace koma
