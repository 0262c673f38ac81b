#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "compose/startup.h"
#include "export/frame_export.h"
#include "export/output_format.h"
#include "raster/integer_scale.h"
#include "support/apng_reader.h"
#include "support/avif_reader.h"
#include "support/file_bytes.h"
#include "support/gif_reader.h"
#include "support/image_files.h"
#include "support/pixels.h"
#include "support/stripe_scene.h"
#include "support/video_reader.h"

namespace koma {
namespace {

using test::pixel_difference;

// The stripe scene played "1212", step 1 shown 120 ms and the others 80 ms.
class MediaExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        Form1_Load(m);
        test::load_stripe_scene(m, dir.path(), "MRKRM");
        m.pattern_anime.set_text(QStringLiteral("1212"));
        m.step_ms[1] = 120;
    }

    std::expected<ExportSummary, QString> export_as(OutputFormat format, int scale = 1) {
        if (format == OutputFormat::Gif) output_GIF_Click(m);
        m.export_settings.extra_format = format;
        m.export_settings.scale = scale;
        return bt_exec_Click(m);
    }

    /// Step `step` as composed, enlarged `scale` times.
    QImage expected(int step, int scale = 1, bool clear = false) {
        return scaled_up(test::composed_step(m, step, clear), scale);
    }

    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir;
    EditingModel m{QStringLiteral("/")};
    const std::vector<int> times{80, 120, 80, 80};
};

TEST_F(MediaExportTest, AvifHoldsEveryStageExactlyWithItsTimeAtEveryScale) {
    for (const int scale : {1, 3}) {
        const auto result = export_as(OutputFormat::Avif, scale);
        ASSERT_TRUE(result) << result.error().toStdString();
        EXPECT_EQ(result->files, QStringList{dir.filePath("walk.avif")});
        const test::DecodedAvif avif = test::decode_avif(dir.filePath("walk.avif"));
        ASSERT_TRUE(avif.error.isEmpty()) << avif.error.toStdString();
        ASSERT_EQ(avif.frames.size(), 4u);
        EXPECT_FALSE(avif.has_alpha);
        EXPECT_EQ(avif.durations_ms, times);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(pixel_difference(avif.frames[static_cast<size_t>(i)], expected(i, scale)), "")
                << "scale " << scale << " step " << i;
        }
    }
    // Transparent: alpha where the stage is covered, as the PNG writers write it. A loop count
    // the file cannot hold is said to be left out.
    m.export_settings.transparent = true;
    m.export_settings.loop_count = 3;
    const auto looped = export_as(OutputFormat::Avif, 2);
    ASSERT_TRUE(looped);
    ASSERT_EQ(looped->notices.size(), 1u);
    EXPECT_EQ(looped->notices[0].kind, ExportNotice::Kind::LoopNotStored);
    const test::DecodedAvif clear = test::decode_avif(dir.filePath("walk.avif"));
    ASSERT_TRUE(clear.has_alpha);
    ASSERT_EQ(clear.frames.size(), 4u);
    EXPECT_EQ(pixel_difference(clear.frames[1], expected(1, 2, true)), "");
    EXPECT_EQ(files(), QStringList{"walk.avif"});
}

TEST_F(MediaExportTest, TheSheetHoldsEachStepInItsRectangleWithItsTime) {
    m.project.direction = PlayDirection::PingPong;  // 0 1 2 3 2 1: six frames
    m.export_settings.transparent = true;
    m.export_settings.sheet_columns = 4;
    const auto result = export_as(OutputFormat::Sheet, 2);
    ASSERT_TRUE(result) << result.error().toStdString();
    EXPECT_EQ(result->files,
              (QStringList{dir.filePath("walk_sheet.png"), dir.filePath("walk_sheet.json")}));
    EXPECT_EQ(files(), (QStringList{"walk_sheet.json", "walk_sheet.png"}));

    QJsonParseError error;
    const QJsonDocument data =
        QJsonDocument::fromJson(test::read_bytes(dir.filePath("walk_sheet.json")), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject meta = data["meta"].toObject();
    EXPECT_EQ(meta["image"].toString(), "walk_sheet.png");
    EXPECT_EQ(meta["scale"].toString(), "1");  // the frames are enlarged already
    const QImage sheet(dir.filePath("walk_sheet.png"));
    ASSERT_FALSE(sheet.isNull());
    EXPECT_EQ(sheet.size(), QSize(4 * 24, 2 * 6));
    EXPECT_EQ(meta["size"].toObject()["w"].toInt(), sheet.width());
    EXPECT_EQ(meta["size"].toObject()["h"].toInt(), sheet.height());

    const QJsonObject frames = data["frames"].toObject();
    ASSERT_EQ(frames.size(), 6);
    const std::vector<int> steps{0, 1, 2, 3, 2, 1};
    for (int k = 0; k < 6; ++k) {
        const QJsonObject frame = frames[sheet_frame_name("walk", k)].toObject();
        const QJsonObject r = frame["frame"].toObject();
        const QRect rect(r["x"].toInt(), r["y"].toInt(), r["w"].toInt(), r["h"].toInt());
        EXPECT_EQ(rect, QRect(k % 4 * 24, k / 4 * 6, 24, 6)) << k;
        const int step = steps[static_cast<size_t>(k)];
        EXPECT_EQ(frame["duration"].toInt(), times[static_cast<size_t>(step)]) << k;
        EXPECT_EQ(pixel_difference(sheet.copy(rect).convertToFormat(QImage::Format_ARGB32),
                                   expected(step, 2, true)),
                  "")
            << "frame " << k;
    }
}

TEST_F(MediaExportTest, VideosCarryTheStepTimesAndTheStagesAtTheirQuality) {
    m.export_settings.transparent = true;
    for (const OutputFormat format : {OutputFormat::Mp4, OutputFormat::Webm}) {
        const auto result = export_as(format, 4);
        ASSERT_TRUE(result) << result.error().toStdString();
        const QString path = video_file_name(dir.path(), "walk", format);
        EXPECT_EQ(result->files, QStringList{path});
        // Written opaque, and said so.
        ASSERT_EQ(result->notices.size(), 1u);
        EXPECT_EQ(result->notices[0].kind, ExportNotice::Kind::VideoOpaque);
        const test::DecodedVideo video = test::decode_video(path);
        ASSERT_TRUE(video.error.isEmpty()) << video.error.toStdString();
        ASSERT_EQ(video.frames.size(), 4u);
        EXPECT_EQ(video.starts_ms, (std::vector<int64_t>{0, 80, 200, 280}));
        // The last frame lasts as long as its step too.
        EXPECT_EQ(video.container_duration_ms, 360);
        if (format == OutputFormat::Mp4) {
            EXPECT_EQ(video.durations_ms, (std::vector<int64_t>{80, 120, 80, 80}));
        }
        // These one-pixel stripes are the worst case of 4:2:0; what the encoder loses beyond
        // the best 4:2:0 picture stays small.
        double to_stage = 0;
        double bound = 0;
        for (int i = 0; i < 4; ++i) {
            const QImage stage = expected(i, 4);
            to_stage += test::rgb_psnr(video.frames[static_cast<size_t>(i)], stage) / 4;
            bound += test::rgb_psnr(test::yuv420_round_trip(stage), stage) / 4;
        }
        EXPECT_GE(to_stage, bound - 1.5) << static_cast<int>(format);
    }
    EXPECT_EQ(files(), (QStringList{"walk.mp4", "walk.webm"}));
}

TEST_F(MediaExportTest, GifAndApngScaleTheStagesAndGifKeepsItsColours) {
    ASSERT_TRUE(export_as(OutputFormat::Apng, 2));
    const auto apng = test::decode_apng_file(dir.filePath("walk.png"));
    ASSERT_EQ(apng.frames.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pixel_difference(apng.frames[static_cast<size_t>(i)], expected(i, 2)), "") << i;
    }
    // More colours than a GIF holds: the palette is chosen on the stages as they are, so every
    // scale shows the colours of scale 1, each pixel a block.
    QImage many(40, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) many.setPixel(x, y, qRgb(x * 6, y * 25, (x * y * 7) % 256));
    }
    m.win_main.set_picture(many);
    m.pic[0].set_picture(many);
    std::vector<std::vector<QImage>> shown;
    for (const int scale : {1, 3}) {
        ASSERT_TRUE(export_as(OutputFormat::Gif, scale));
        shown.push_back(test::decode_gif(dir.filePath("walk.gif")).frames);
        ASSERT_EQ(shown.back().size(), 4u);
    }
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(pixel_difference(shown[1][i], scaled_up(shown[0][i], 3)), "") << i;
    }
}

TEST_F(MediaExportTest, AScaleTooLargeIsRefusedBeforeAnythingIsWritten) {
    ASSERT_TRUE(test::write_file(dir.filePath("walk.gif"), "old"));
    m.win_main.resize_pixels(5000, 3);
    m.pic[0].resize_pixels(5000, 3);
    for (const OutputFormat format : {OutputFormat::Gif, OutputFormat::Bmp, OutputFormat::Mp4}) {
        const auto result = export_as(format, 4);
        ASSERT_FALSE(result) << static_cast<int>(format);
        EXPECT_EQ(result.error(),
                  "拡大 4 倍では書き出す画像が 20000 x 12 ピクセルになり、大きすぎます（一辺 16384 "
                  "ピクセル、256 MiB まで）。この絵は 3 倍まで拡大できます。");
        EXPECT_TRUE(export_message(result).is_error);
    }
    // A sheet of four 5000-pixel frames is too wide even at scale 1 in one row, but fits in a
    // column up to scale 3.
    EXPECT_TRUE(scale_refusal({5000, 3}, 3, OutputFormat::Sheet, 4, 1).isEmpty());
    m.export_settings.sheet_columns = 4;
    const auto sheet = export_as(OutputFormat::Sheet, 1);
    ASSERT_FALSE(sheet);
    EXPECT_TRUE(sheet.error().contains("20000 x 3")) << sheet.error().toStdString();
    EXPECT_TRUE(sheet.error().contains("拡大しても書き出せません")) << sheet.error().toStdString();
    EXPECT_EQ(files(), QStringList{"walk.gif"});
    EXPECT_EQ(test::read_bytes(dir.filePath("walk.gif")), "old");
}

TEST_F(MediaExportTest, ACancelOrAFailureLeavesEveryFileAsItWas) {
    const QStringList names{"walk.avif", "walk.mp4", "walk.webm", "walk_sheet.json",
                            "walk_sheet.png"};
    for (const QString& name : names) ASSERT_TRUE(test::write_file(dir.filePath(name), "old"));
    auto unchanged = [&] {
        EXPECT_EQ(files(), names);
        for (const QString& name : names) EXPECT_EQ(test::read_bytes(dir.filePath(name)), "old");
    };
    for (const OutputFormat format :
         {OutputFormat::Avif, OutputFormat::Mp4, OutputFormat::Webm, OutputFormat::Sheet}) {
        // Stopped after the last frame, before the files are put in place.
        m.export_settings.extra_format = format;
        int reported = 0;
        const auto result = bt_exec_Click(
            m, [&](int done, int) { reported = done; }, [&] { return reported == 4; });
        ASSERT_TRUE(result.has_value()) << result.error().toStdString();
        EXPECT_TRUE(result->cancelled) << static_cast<int>(format);
        unchanged();
    }
    // The sheet's data file cannot be replaced: the sheet itself stays as it was too.
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("walk_sheet.json"), QFile::ReadOwner));
    const auto failed = export_as(OutputFormat::Sheet);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.error().startsWith(dir.filePath("walk_sheet.json")))
        << failed.error().toStdString();
    unchanged();
}

}  // namespace
}  // namespace koma
