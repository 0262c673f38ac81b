#include "codecs/webp/webp_writer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/pixels.h"
#include "support/webp_reader.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;

/// The picture shown at each step of `frame_ms`: the encoder may merge equal frames into one
/// that shows longer.
std::vector<QImage> steps(const test::DecodedWebp& webp, int frame_ms) {
    std::vector<QImage> out;
    for (size_t i = 0; i < webp.frames.size(); ++i) {
        for (int t = 0; t < webp.durations_ms[i]; t += frame_ms) out.push_back(webp.frames[i]);
    }
    return out;
}

test::DecodedWebp encoded_and_decoded(const std::vector<QImage>& frames,
                                      const AnimationTiming& timing = {}) {
    const auto bytes = encode_webp(frames, timing);
    EXPECT_TRUE(bytes) << (bytes ? "" : bytes.error().toStdString());
    if (!bytes) return {};
    const test::DecodedWebp webp = test::decode_webp(*bytes);
    EXPECT_EQ(webp.error.toStdString(), "");
    return webp;
}

/// A 30 x 20 image of many colours with a bar at `x`.
QImage gradient_with_bar(int x) {
    QImage image(30, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y) {
        for (int i = 0; i < 30; ++i) image.setPixel(i, y, qRgb(i * 8, y * 12, (i + y) * 3));
    }
    for (int y = 5; y < 15; ++y) image.setPixel(x, y, 0xFF000000u);
    return image;
}

// --- frames decode back exactly ---

TEST(WebpEncodeTest, EveryFrameDecodesToItsPixelsLosslessly) {
    const std::vector<QImage> frames = {gradient_with_bar(3), gradient_with_bar(9),
                                        gradient_with_bar(9), gradient_with_bar(20)};
    const auto webp = encoded_and_decoded(frames);
    EXPECT_TRUE(webp.animated);
    EXPECT_TRUE(webp.all_lossless);
    EXPECT_EQ(webp.width, 30);
    EXPECT_EQ(webp.height, 20);
    const std::vector<QImage> shown = steps(webp, 80);
    ASSERT_EQ(shown.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(pixel_difference(shown[i], frames[i]), "") << "step " << i;
    }
}

TEST(WebpEncodeTest, ClearPixelsStayClearAndOpaqueOnesOpaque) {
    QImage a = from_rows({"KRRK", "KRRK"}).convertToFormat(QImage::Format_ARGB32);
    QImage b = a.copy();
    a.setPixel(0, 0, 0u);
    b.setPixel(1, 0, 0u);
    b.setPixel(3, 1, 0u);
    const auto webp = encoded_and_decoded({a, b, a});
    ASSERT_EQ(webp.frames.size(), 3u);
    EXPECT_EQ(pixel_difference(webp.frames[0], a), "");
    EXPECT_EQ(pixel_difference(webp.frames[1], b), "");
    EXPECT_EQ(pixel_difference(webp.frames[2], a), "");
    // Opaque pixels keep full alpha; the colour under a clear one is kept as given.
    EXPECT_EQ(webp.frames[1].pixel(3, 0), 0xFF000000u);
    EXPECT_EQ(webp.frames[1].pixel(1, 0), 0u);
}

// --- timing ---

TEST(WebpEncodeTest, FrameTimeAndLoopCountAreWritten) {
    const std::vector<QImage> frames = {gradient_with_bar(1), gradient_with_bar(2),
                                        gradient_with_bar(3)};
    auto webp = encoded_and_decoded(frames, {45, 4});
    EXPECT_EQ(webp.loop_count, 4);
    EXPECT_EQ(webp.durations_ms, (std::vector<int>{45, 45, 45}));

    webp = encoded_and_decoded(frames);
    EXPECT_EQ(webp.loop_count, 0);
    EXPECT_EQ(webp.durations_ms, (std::vector<int>{80, 80, 80}));
}

TEST(WebpEncodeTest, EqualFramesStillShowForTheirTime) {
    const std::vector<QImage> frames = {gradient_with_bar(1), gradient_with_bar(1),
                                        gradient_with_bar(2)};
    const auto webp = encoded_and_decoded(frames, {100, 0});
    const std::vector<QImage> shown = steps(webp, 100);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(pixel_difference(shown[0], frames[0]), "");
    EXPECT_EQ(pixel_difference(shown[1], frames[1]), "");
    EXPECT_EQ(pixel_difference(shown[2], frames[2]), "");
}

// --- failures and the file ---

TEST(WebpEncodeTest, RefusesNoFramesAndFramesOfDifferentSizes) {
    EXPECT_FALSE(encode_webp({}, {}));
    EXPECT_FALSE(encode_webp(std::vector<QImage>{from_rows({"KK"}), from_rows({"KKK"})}, {}));
}

TEST(WebpWriterTest, WritesTheFileAtFinishWithCoverageAsAlpha) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.webp"));
    Surface stage;
    stage.set_picture(from_rows({"KRK"}));
    QImage coverage(3, 1, QImage::Format_Grayscale8);
    coverage.fill(255);
    coverage.setPixel(0, 0, 0);
    auto writer = make_webp_writer(path, {60, 1});
    ASSERT_TRUE(writer->add(stage, coverage));
    stage.set_picture(from_rows({"KKR"}));
    ASSERT_TRUE(writer->add(stage, coverage));
    EXPECT_FALSE(QFile::exists(path));
    const auto files = writer->finish();
    ASSERT_TRUE(files);
    EXPECT_EQ(*files, QStringList{path});
    const auto webp = test::decode_webp_file(path);
    ASSERT_EQ(webp.frames.size(), 2u);
    EXPECT_EQ(webp.loop_count, 1);
    EXPECT_EQ(webp.frames[1].pixel(0, 0) >> 24, 0u);
    EXPECT_EQ(webp.frames[1].pixel(1, 0), 0xFF000000u);
    EXPECT_EQ(webp.frames[1].pixel(2, 0), 0xFFFF0000u);
}

TEST(WebpWriterTest, NoFramesWriteNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.webp"));
    const auto files = make_webp_writer(path, {})->finish();
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace
}  // namespace koma
