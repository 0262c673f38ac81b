#include "export/export_settings_edit.h"

#include <gtest/gtest.h>

#include "app/animation_test.h"
#include "app/startup.h"
#include "export/output_format.h"

namespace koma {
namespace {

class ExportSettingsEditTest : public ::testing::Test {
  protected:
    void SetUp() override { Form1_Load(m); }

    EditingModel m{QStringLiteral("/")};
};

// The format in force: the format buttons and the settings' own formats as one choice.

TEST_F(ExportSettingsEditTest, FormatButtonsAloneDecideWhileTheSettingsHoldBmpOrGif) {
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    m.gif_mode = -1;
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    // Any non-zero gif_mode means GIF.
    m.gif_mode = 1;
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    // A stale Bmp or Gif in the settings never outvotes the buttons.
    m.export_settings.extra_format = OutputFormat::Bmp;
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    m.gif_mode = 0;
    m.export_settings.extra_format = OutputFormat::Gif;
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
}

TEST_F(ExportSettingsEditTest, SettingsFormatsOutvoteTheButtonsUntilAButtonIsClicked) {
    for (OutputFormat extra : {OutputFormat::Png, OutputFormat::Apng, OutputFormat::Webp}) {
        for (int16_t gif_mode : {int16_t{0}, int16_t{-1}}) {
            m.gif_mode = gif_mode;
            m.export_settings.extra_format = extra;
            EXPECT_EQ(format_in_force(m), extra);
        }
    }

    m.gif_mode = 0;
    m.export_settings.extra_format = OutputFormat::Apng;
    output_GIF_Click(m);
    EXPECT_EQ(format_in_force(m), OutputFormat::Gif);
    EXPECT_EQ(m.export_settings.extra_format, OutputFormat::Gif);

    m.export_settings.extra_format = OutputFormat::Webp;
    output_bmp_Click(m);
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    EXPECT_EQ(m.export_settings.extra_format, OutputFormat::Bmp);
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
}

TEST_F(ExportSettingsEditTest, ChoosingBmpOrGifMovesTheButtonsChoosingOthersLeavesThem) {
    choose_output_format(m, OutputFormat::Gif);
    EXPECT_EQ(m.gif_mode, -1);
    EXPECT_TRUE(m.output_bmp.visible);
    EXPECT_FALSE(m.output_GIF.visible);

    choose_output_format(m, OutputFormat::Png);
    EXPECT_EQ(format_in_force(m), OutputFormat::Png);
    EXPECT_EQ(m.gif_mode, -1);
    EXPECT_TRUE(m.output_bmp.visible);

    choose_output_format(m, OutputFormat::Bmp);
    EXPECT_EQ(format_in_force(m), OutputFormat::Bmp);
    EXPECT_EQ(m.gif_mode, 0);
    EXPECT_FALSE(m.output_bmp.visible);
    EXPECT_TRUE(m.output_GIF.visible);
}

TEST_F(ExportSettingsEditTest, EveryFormatHasItsOwnCaption) {
    EXPECT_EQ(format_caption(OutputFormat::Bmp), "ＢＭＰ");
    EXPECT_EQ(format_caption(OutputFormat::Gif), "GIF");
    EXPECT_EQ(format_caption(OutputFormat::Png), "PNG 連番");
    EXPECT_EQ(format_caption(OutputFormat::Apng), "APNG");
    EXPECT_EQ(format_caption(OutputFormat::Webp), "WebP");
}

// Frame time and loop count: refused values change nothing and say why.

TEST_F(ExportSettingsEditTest, FrameTimesUnderTwentyMillisecondsAreRefusedWithAMessage) {
    ASSERT_TRUE(set_frame_ms(m, 40));
    const auto refused = set_frame_ms(m, 19);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().contains("20")) << refused.error().toStdString();
    EXPECT_TRUE(refused.error().contains("19")) << refused.error().toStdString();
    EXPECT_EQ(m.export_settings.frame_ms, 40);
    EXPECT_FALSE(set_frame_ms(m, 0));
    EXPECT_FALSE(set_frame_ms(m, -80));
    EXPECT_EQ(m.export_settings.frame_ms, 40);

    EXPECT_TRUE(set_frame_ms(m, kMinFrameMs));
    EXPECT_EQ(m.export_settings.frame_ms, kMinFrameMs);
}

TEST_F(ExportSettingsEditTest, FrameTimesAboveTheLongestAreRefused) {
    EXPECT_TRUE(set_frame_ms(m, kMaxFrameMs));
    EXPECT_EQ(m.export_settings.frame_ms, kMaxFrameMs);
    EXPECT_FALSE(set_frame_ms(m, kMaxFrameMs + 1));
    // Values beyond int must not wrap into the range.
    EXPECT_FALSE(set_frame_ms(m, int64_t{1} << 32 | 80));
    EXPECT_EQ(m.export_settings.frame_ms, kMaxFrameMs);
}

TEST_F(ExportSettingsEditTest, LoopCountsFromZeroTo65535AreTakenOthersRefused) {
    EXPECT_TRUE(set_loop_count(m, 65535));
    EXPECT_EQ(m.export_settings.loop_count, 65535);
    EXPECT_TRUE(set_loop_count(m, 0));
    EXPECT_EQ(m.export_settings.loop_count, 0);
    ASSERT_TRUE(set_loop_count(m, 3));

    const auto negative = set_loop_count(m, -1);
    ASSERT_FALSE(negative);
    EXPECT_TRUE(negative.error().contains("65535")) << negative.error().toStdString();
    EXPECT_FALSE(set_loop_count(m, 65536));
    EXPECT_FALSE(set_loop_count(m, int64_t{1} << 32 | 3));
    EXPECT_EQ(m.export_settings.loop_count, 3);
}

TEST_F(ExportSettingsEditTest, TransparencyIsSetAndCleared) {
    set_transparent(m, true);
    EXPECT_TRUE(m.export_settings.transparent);
    set_transparent(m, false);
    EXPECT_FALSE(m.export_settings.transparent);
}

// The preview plays at the frame time.

TEST_F(ExportSettingsEditTest, PreviewStartsAtTheFrameTimeAndAPlayingOneFollowsAChange) {
    m.pattern_anime.set_text(QStringLiteral("12"));
    anime_click(m);
    EXPECT_EQ(m.timer1_interval, 80);
    anime_click(m);

    ASSERT_TRUE(set_frame_ms(m, 125));
    EXPECT_EQ(m.timer1_interval, 0);  // a stopped preview does not start
    anime_click(m);
    EXPECT_EQ(m.timer1_interval, 125);

    ASSERT_TRUE(set_frame_ms(m, 40));
    EXPECT_EQ(m.timer1_interval, 40);
    EXPECT_FALSE(set_frame_ms(m, 10));
    EXPECT_EQ(m.timer1_interval, 40);
}

TEST_F(ExportSettingsEditTest, APreviewPausedByAnExportStaysPaused) {
    m.pattern_anime.set_text(QStringLiteral("1"));
    anime_click(m);
    // What the export does to the preview: the timer stops, the test is still on.
    m.timer1_interval = 0;
    ASSERT_TRUE(set_frame_ms(m, 60));
    EXPECT_EQ(m.timer1_interval, 0);
    EXPECT_EQ(m.anim_running, 1);
}

}  // namespace
}  // namespace koma
