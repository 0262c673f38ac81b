#include "codecs/video/video_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "raster/integer_scale.h"
#include "support/file_bytes.h"
#include "support/video_reader.h"
#include "support/walk_stage.h"

namespace koma {
namespace {

int duration_of(int frame) { return 20 + frame * 53 % 211; }

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class VideoWriterTest : public ::testing::TestWithParam<VideoCodec> {
  protected:
    QString path(const char* stem) const {
        return dir.filePath(QString::fromLatin1(stem) + '.' + video_file_extension(GetParam()));
    }
    // Writes `frames` with duration_of() each; a test failure when the writer fails.
    void write(const QString& file, const std::vector<QImage>& frames) {
        auto writer = VideoWriter::create(file, {.codec = GetParam(), .size = frames[0].size()});
        ASSERT_TRUE(writer) << writer.error().toStdString();
        for (size_t i = 0; i < frames.size(); ++i) {
            ASSERT_TRUE((*writer)->add(frames[i], duration_of(static_cast<int>(i))));
        }
        const auto written = (*writer)->finish();
        ASSERT_TRUE(written) << written.error().toStdString();
        EXPECT_EQ(*written, QStringList{file});
    }
    QTemporaryDir dir;
};

std::vector<QImage> walk(int count, int scale = 1) {
    std::vector<QImage> frames;
    for (int i = 0; i < count; ++i) frames.push_back(scaled_up(test::walk_stage(i * 3), scale));
    return frames;
}

TEST_P(VideoWriterTest, EveryFrameKeepsItsTimeAndComesNearTheBest420Picture) {
    const QString file = path("walk");
    const std::vector<QImage> frames = walk(30);
    write(file, frames);
    const test::DecodedVideo video = test::decode_video(file);
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.codec, GetParam() == VideoCodec::H264 ? "h264" : "vp9");
    EXPECT_EQ(video.pixel_format, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(video.color_primaries, AVCOL_PRI_BT709);
    EXPECT_EQ(video.color_trc, AVCOL_TRC_BT709);
    EXPECT_EQ(video.colorspace, AVCOL_SPC_BT709);
    EXPECT_EQ(video.color_range, AVCOL_RANGE_MPEG);
    EXPECT_EQ(video.width, 462);
    EXPECT_EQ(video.height, 110);
    ASSERT_EQ(video.frames.size(), frames.size());

    double to_stage = 0;
    double best = 0;     // the stage through 4:2:0 alone
    double encoder = 0;  // the decoded frame against that: what the encoder lost
    int64_t start = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        const int ms = duration_of(static_cast<int>(i));
        EXPECT_EQ(video.starts_ms[i], start) << "frame " << i;
        // The last frame's duration is the container's length past its start.
        const int64_t end =
            i + 1 < frames.size() ? video.starts_ms[i + 1] : video.container_duration_ms;
        EXPECT_EQ(end - video.starts_ms[i], ms) << "frame " << i;
        if (GetParam() == VideoCodec::H264) {
            EXPECT_EQ(video.durations_ms[i], ms) << "frame " << i;
        }
        start += ms;
        const QImage bound = test::yuv420_round_trip(frames[i]);
        to_stage += test::rgb_psnr(frames[i], video.frames[i]);
        best += test::rgb_psnr(frames[i], bound);
        encoder += test::rgb_psnr(bound, video.frames[i]);
    }
    const double n = static_cast<double>(frames.size());
    // The default crfs keep the encoder's own loss near 45 dB (measured here: H.264 47.7 dB, VP9
    // 46.7 dB), which costs about 0.6 dB against the stage beyond what 4:2:0 costs.
    EXPECT_GE(encoder / n, 44.0);
    EXPECT_GE(to_stage / n, best / n - 1.0);
    if (GetParam() == VideoCodec::H264) {
        // Fast start: the index before the data.
        EXPECT_LT(test::top_level_box(file, "moov"), test::top_level_box(file, "mdat"));
        EXPECT_GE(test::top_level_box(file, "moov"), 0);
    }
    EXPECT_EQ(entries(dir).size(), 1);
}

TEST_P(VideoWriterTest, AtScaleFourTheDefaultQualityPasses40Db) {
    const QString file = path("big");
    const std::vector<QImage> frames = walk(6, 4);
    write(file, frames);
    const test::DecodedVideo video = test::decode_video(file);
    ASSERT_EQ(video.frames.size(), frames.size()) << video.error.toStdString();
    double sum = 0;
    for (size_t i = 0; i < frames.size(); ++i) sum += test::rgb_psnr(frames[i], video.frames[i]);
    EXPECT_GE(sum / static_cast<double>(frames.size()), 40.0);
}

TEST_P(VideoWriterTest, OddSizesArePaddedWithTheLastColumnAndRowForH264Only) {
    const QString file = path("odd");
    std::vector<QImage> frames;
    for (const QImage& frame : walk(4)) frames.push_back(frame.copy(0, 0, 461, 109));
    write(file, frames);
    const test::DecodedVideo video = test::decode_video(file);
    ASSERT_EQ(video.frames.size(), frames.size()) << video.error.toStdString();
    const bool padded = GetParam() == VideoCodec::H264;
    EXPECT_EQ(video.width, padded ? 462 : 461);
    EXPECT_EQ(video.height, padded ? 110 : 109);
    for (size_t i = 0; i < frames.size(); ++i) {
        const QImage& shown = video.frames[i];
        // Frame and picture stay aligned: a shift by one pixel would cost far more.
        EXPECT_GE(test::rgb_psnr(frames[i], shown.copy(0, 0, 461, 109)),
                  test::rgb_psnr(frames[i], test::yuv420_round_trip(frames[i])) - 1.5);
        if (!padded) continue;
        EXPECT_GE(test::rgb_psnr(shown.copy(460, 0, 1, 109), shown.copy(461, 0, 1, 109)), 40.0);
        EXPECT_GE(test::rgb_psnr(shown.copy(0, 108, 461, 1), shown.copy(0, 109, 461, 1)), 40.0);
    }
}

TEST_P(VideoWriterTest, AFailedOrDroppedWriterLeavesTheOldFileAndNothingElse) {
    const QString file = path("kept");
    test::write_bytes(file, "old");
    const QImage stage = test::walk_stage(0);
    const auto writer = [&] {
        auto created = VideoWriter::create(file, {.codec = GetParam(), .size = stage.size()});
        EXPECT_TRUE(created) << created.error().toStdString();
        return created ? std::move(*created) : nullptr;
    };
    {
        const auto dropped = writer();
        ASSERT_TRUE(dropped->add(stage, 40));
        EXPECT_EQ(entries(dir).size(), 2) << "the video is written beside the old file";
    }
    const auto refused = writer();
    const auto smaller = refused->add(stage.copy(0, 0, 200, 100), 40);
    ASSERT_FALSE(smaller);
    EXPECT_TRUE(smaller.error().startsWith(file + ": ")) << smaller.error().toStdString();
    EXPECT_FALSE(refused->add(stage, 40)) << "no frames after a failure";
    EXPECT_FALSE(refused->finish());
    EXPECT_FALSE(writer()->add(stage, 0));
    EXPECT_FALSE(writer()->finish()) << "no frames";
    EXPECT_EQ(test::read_bytes(file), "old");

    const QString unreachable = file + "/out.mp4";  // its parent is a file
    const auto unwritable =
        VideoWriter::create(unreachable, {.codec = GetParam(), .size = stage.size()});
    ASSERT_FALSE(unwritable);
    EXPECT_TRUE(unwritable.error().startsWith(unreachable + ": "));
    EXPECT_EQ(entries(dir).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoWriterTest,
                         ::testing::Values(VideoCodec::H264, VideoCodec::Vp9),
                         [](const auto& info) {
                             return info.param == VideoCodec::H264 ? "H264" : "Vp9";
                         });

TEST(VideoWriter, TheLibrariesWriteNothingToStderr) {
    QTemporaryDir dir;
    const QString log = dir.filePath("stderr.txt");
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    std::FILE* capture = std::fopen(QFile::encodeName(log).constData(), "w");
    ASSERT_NE(capture, nullptr);
    dup2(fileno(capture), STDERR_FILENO);
    int written = 0;
    for (const VideoCodec codec : {VideoCodec::H264, VideoCodec::Vp9}) {
        // x264 and the MP4 muxer report at their informational level by default.
        auto writer = VideoWriter::create(dir.filePath("a." + video_file_extension(codec)),
                                          {.codec = codec, .size = {64, 32}});
        if (writer && (*writer)->add(test::walk_stage(0).copy(0, 0, 64, 32), 40) &&
            (*writer)->finish()) {
            ++written;
        }
    }
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::fclose(capture);
    EXPECT_EQ(written, 2);
    EXPECT_EQ(test::read_bytes(log), "");
}

TEST(VideoQuality, ZeroToHundredMapsOntoEachCodecsCrfThroughTheDefault) {
    for (const VideoCodec codec : {VideoCodec::H264, VideoCodec::Vp9}) {
        EXPECT_EQ(crf_for_quality(codec, kDefaultVideoQuality), default_crf(codec));
        EXPECT_EQ(crf_for_quality(codec, 100), crf_range(codec).best);
        EXPECT_EQ(crf_for_quality(codec, 0), crf_range(codec).worst);
        EXPECT_EQ(crf_for_quality(codec, 101), crf_for_quality(codec, 100));
        EXPECT_EQ(crf_for_quality(codec, -1), crf_for_quality(codec, 0));
        for (int q = 1; q <= 100; ++q)
            EXPECT_LE(crf_for_quality(codec, q), crf_for_quality(codec, q - 1));
    }
    EXPECT_EQ(crf_range(VideoCodec::H264).best, 1) << "crf 0 is x264's lossless profile";
}

}  // namespace
}  // namespace koma
