#include <gtest/gtest.h>

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

TEST(TimedExport, AnimationsHoldEveryFrameForItsStepsTimeInTheOrderPlayed) {
    QTemporaryDir dir;
    EditingModel m(QStringLiteral("/"));
    Form1_Load(m);
    test::load_stripe_scene(m, dir.path(), "MRRRM");
    m.pattern_anime.set_text(QStringLiteral("12121"));
    m.project.direction = PlayDirection::PingPong;
    m.step_ms[1] = 120;
    m.step_ms[3] = 45;
    m.step_ms[4] = 55;
    const std::vector<int> played{0, 1, 2, 3, 4, 3, 2, 1};
    const std::vector<int> ms{80, 120, 80, 45, 55, 45, 80, 120};
    const auto expect_played = [&](const std::vector<QImage>& frames, const char* format) {
        ASSERT_EQ(frames.size(), played.size()) << format;
        for (size_t i = 0; i < played.size(); ++i) {
            EXPECT_EQ(test::pixel_difference(frames[i], test::composed_step(m, played[i])), "")
                << format << " frame " << i;
        }
    };

    m.export_settings.extra_format = OutputFormat::Apng;
    ASSERT_TRUE(bt_exec_Click(m));
    const auto apng = test::decode_apng_file(dir.filePath("walk.png"));
    expect_played(apng.frames, "APNG");
    EXPECT_EQ(apng.delays_ms, std::vector<double>(ms.begin(), ms.end()));

    m.export_settings.extra_format = OutputFormat::Webp;
    ASSERT_TRUE(bt_exec_Click(m));
    const auto webp = test::decode_webp_file(dir.filePath("walk.webp"));
    expect_played(webp.frames, "WebP");
    EXPECT_EQ(webp.durations_ms, ms);

    output_GIF_Click(m);
    const auto gif_result = bt_exec_Click(m);
    ASSERT_TRUE(gif_result);
    const auto gif = test::decode_gif(dir.filePath("walk.gif"));
    expect_played(gif.frames, "GIF");
    // Hundredths, halves to even (45 ms is 4, 55 ms is 6), told once for both times.
    EXPECT_EQ(gif.delays, (std::vector<int>{8, 12, 8, 4, 6, 4, 8, 12}));
    ASSERT_EQ(gif_result->notices.size(), 1u);
    EXPECT_EQ(gif_result->notices[0],
              (ExportNotice{ExportNotice::Kind::GifTimeRounded, 45, 40, 1}));

    // Frames with clear pixels wait in the GIF writer until the end, and keep their times too.
    m.export_settings.transparent = true;
    ASSERT_TRUE(bt_exec_Click(m));
    EXPECT_EQ(test::decode_gif(dir.filePath("walk.gif")).delays, gif.delays);
}

}  // namespace
}  // namespace koma
