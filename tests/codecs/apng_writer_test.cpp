#include "codecs/png/apng_writer.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "support/apng_reader.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;

/// A 64 x 64 image of four colours scattered so that it codes poorly.
QImage noise() {
    QImage image(64, 64, QImage::Format_RGB32);
    const QRgb colours[] = {0xFF102030u, 0xFF405060u, 0xFFA0B0C0u, 0xFFE0F000u};
    uint32_t state = 12345;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            state = state * 1103515245u + 12345u;
            image.setPixel(x, y, colours[(state >> 16) & 3]);
        }
    }
    return image;
}

test::DecodedApng encoded_and_decoded(const std::vector<QImage>& frames,
                                      const AnimationTiming& timing = {}) {
    const auto bytes = encode_apng(frames, timing);
    EXPECT_TRUE(bytes) << (bytes ? "" : bytes.error().toStdString());
    if (!bytes) return {};
    const test::DecodedApng apng = test::decode_apng(*bytes);
    EXPECT_EQ(apng.error.toStdString(), "");
    return apng;
}

void expect_frames(const test::DecodedApng& apng, const std::vector<QImage>& frames) {
    ASSERT_EQ(apng.frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(pixel_difference(apng.frames[i], frames[i]), "") << "frame " << i;
    }
}

// --- frames decode back exactly ---

TEST(ApngEncodeTest, EveryFrameDecodesToItsPixels) {
    const std::vector<QImage> frames = {
        from_rows({"KKKKK", "KRKKK", "KKKKK"}), from_rows({"KKKKK", "KKRKK", "KKKKK"}),
        from_rows({"KKKKK", "KKKRK", "KKKGK"}), from_rows({"RKKKK", "KKKKK", "KKKKB"})};
    const auto apng = encoded_and_decoded(frames);
    EXPECT_EQ(apng.width, 5);
    EXPECT_EQ(apng.height, 3);
    EXPECT_TRUE(apng.default_image_is_frame);
    EXPECT_EQ(apng.colour_type, 3);
    expect_frames(apng, frames);
}

TEST(ApngEncodeTest, LaterFramesStoreOnlyWhatChanged) {
    std::vector<QImage> frames = {noise(), noise(), noise()};
    frames[1].setPixel(10, 20, 0xFFFFFFFFu);
    frames[1].setPixel(12, 21, 0xFFFFFFFFu);
    const auto apng = encoded_and_decoded(frames);
    ASSERT_EQ(apng.rects.size(), 3u);
    EXPECT_EQ(apng.rects[0], QRect(0, 0, 64, 64));
    EXPECT_EQ(apng.rects[1], QRect(10, 20, 3, 2));
    // Back to the first picture: the frame before is disposed to what it was drawn on, and
    // nothing is left to store but one pixel.
    EXPECT_EQ(apng.disposes[1], 2);
    EXPECT_EQ(apng.rects[2].width() * apng.rects[2].height(), 1);
    expect_frames(apng, frames);
}

TEST(ApngEncodeTest, AFrameEqualToTheOneBeforeStoresOnePixel) {
    const std::vector<QImage> frames = {noise(), noise()};
    const auto apng = encoded_and_decoded(frames);
    ASSERT_EQ(apng.rects.size(), 2u);
    EXPECT_EQ(apng.rects[1].width() * apng.rects[1].height(), 1);
    expect_frames(apng, frames);
}

TEST(ApngEncodeTest, BlendsWhereMostOfTheRectangleIsUnchanged) {
    std::vector<QImage> frames = {noise(), noise()};
    frames[1].setPixel(0, 0, 0xFFFFFFFFu);
    frames[1].setPixel(63, 63, 0xFFFFFFFFu);
    const auto apng = encoded_and_decoded(frames);
    ASSERT_EQ(apng.blends.size(), 2u);
    EXPECT_EQ(apng.rects[1], QRect(0, 0, 64, 64));
    EXPECT_EQ(apng.blends[1], 1);
    expect_frames(apng, frames);
}

TEST(ApngEncodeTest, ReplacesWhereEveryPixelOfTheRectangleChanged) {
    const std::vector<QImage> frames = {from_rows({"KKKK", "KKKK"}), from_rows({"KRGK", "KBYK"})};
    const auto apng = encoded_and_decoded(frames);
    ASSERT_EQ(apng.blends.size(), 2u);
    EXPECT_EQ(apng.rects[1], QRect(1, 0, 2, 2));
    EXPECT_EQ(apng.blends[1], 0);
    expect_frames(apng, frames);
}

TEST(ApngEncodeTest, ManyColoursAreExactInRgb) {
    QImage first(40, 10, QImage::Format_RGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) first.setPixel(x, y, qRgb(x * 6, y * 25, (x * y) & 0xFF));
    }
    QImage second = first.copy();
    second.setPixel(3, 3, 0xFF000000u);
    const auto apng = encoded_and_decoded({first, second});
    EXPECT_EQ(apng.colour_type, 2);
    expect_frames(apng, {first, second});
}

TEST(ApngEncodeTest, ManyColoursBlendThroughAColourNoFrameUses) {
    QImage first(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            first.setPixel(x, y, qRgb((x * 37 + y * 11) & 0xFF, (x * y) & 0xFF, (x ^ y) * 4));
        }
    }
    // The colour the key would take first is in use.
    first.setPixel(5, 5, 0xFF000000u);
    QImage second = first.copy();
    second.setPixel(0, 0, 0xFFFFFFFFu);
    second.setPixel(63, 63, 0xFFFFFFFEu);
    const auto bytes = encode_apng(std::vector<QImage>{first, second}, {});
    ASSERT_TRUE(bytes);
    const auto apng = test::decode_apng(*bytes);
    EXPECT_EQ(apng.colour_type, 2);
    ASSERT_EQ(apng.blends.size(), 2u);
    EXPECT_EQ(apng.blends[1], 1);
    EXPECT_TRUE(bytes->contains("tRNS"));
    expect_frames(apng, {first, second});
}

TEST(ApngEncodeTest, ClearPixelsComeAndGo) {
    QImage a = from_rows({"KRRK", "KRRK"}).convertToFormat(QImage::Format_ARGB32);
    QImage b = a.copy();
    a.setPixel(0, 0, 0u);
    a.setPixel(3, 1, 0u);
    b.setPixel(1, 0, 0u);           // an opaque pixel becomes clear
    b.setPixel(3, 1, 0xFFFF0000u);  // a clear pixel becomes opaque
    QImage c = a.copy();
    const auto apng = encoded_and_decoded({a, b, c});
    expect_frames(apng, {a, b, c});
}

// --- timing ---

TEST(ApngEncodeTest, FrameTimeAndLoopCountAreWritten) {
    const std::vector<QImage> frames = {from_rows({"KR"}), from_rows({"RK"}), from_rows({"KK"})};
    auto apng = encoded_and_decoded(frames, {35, 3});
    EXPECT_EQ(apng.num_plays, 3);
    EXPECT_EQ(apng.delays_ms, (std::vector<double>{35, 35, 35}));

    apng = encoded_and_decoded(frames);
    EXPECT_EQ(apng.num_plays, 0);
    EXPECT_EQ(apng.delays_ms, (std::vector<double>{80, 80, 80}));
}

TEST(ApngEncodeTest, OneFrameIsStillAnAnimation) {
    const auto apng = encoded_and_decoded({from_rows({"KRGB"})});
    ASSERT_EQ(apng.frames.size(), 1u);
    EXPECT_EQ(pixel_difference(apng.frames[0], from_rows({"KRGB"})), "");
}

// --- failures and the file ---

TEST(ApngEncodeTest, RefusesNoFramesAndFramesOfDifferentSizes) {
    EXPECT_FALSE(encode_apng({}, {}));
    EXPECT_FALSE(encode_apng(std::vector<QImage>{from_rows({"KK"}), from_rows({"KKK"})}, {}));
}

TEST(ApngWriterTest, WritesTheFileAtFinishOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.png"));
    Surface stage;
    stage.set_picture(from_rows({"KRK"}));
    auto writer = make_apng_writer(path, {40, 2});
    ASSERT_TRUE(writer->add(stage, {}));
    stage.set_picture(from_rows({"KKR"}));
    ASSERT_TRUE(writer->add(stage, {}));
    EXPECT_FALSE(QFile::exists(path));
    const auto files = writer->finish();
    ASSERT_TRUE(files);
    EXPECT_EQ(*files, QStringList{path});
    const auto apng = test::decode_apng_file(path);
    EXPECT_EQ(apng.error.toStdString(), "");
    expect_frames(apng, {from_rows({"KRK"}), from_rows({"KKR"})});
    EXPECT_EQ(apng.num_plays, 2);
}

TEST(ApngWriterTest, CoverageBecomesAlpha) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.png"));
    Surface stage;
    stage.set_picture(from_rows({"KRK"}));
    QImage coverage(3, 1, QImage::Format_Grayscale8);
    coverage.fill(0);
    coverage.setPixel(1, 0, 255);
    auto writer = make_apng_writer(path, {});
    ASSERT_TRUE(writer->add(stage, coverage));
    ASSERT_TRUE(writer->finish());
    const auto apng = test::decode_apng_file(path);
    ASSERT_EQ(apng.frames.size(), 1u);
    EXPECT_EQ(apng.frames[0].pixel(0, 0) >> 24, 0u);
    EXPECT_EQ(apng.frames[0].pixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(apng.frames[0].pixel(2, 0) >> 24, 0u);
}

TEST(ApngWriterTest, NoFramesWriteNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.png"));
    auto writer = make_apng_writer(path, {});
    const auto files = writer->finish();
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

// --- coding frame by frame after a survey ---

/// A block of `colour` moving right over `background`, `count` frames.
std::vector<QImage> moving_block(const QImage& background, QRgb colour, int count) {
    std::vector<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage frame = background.copy();
        for (int y = 2; y < 6; ++y) {
            for (int x = 3 * i + 1; x < 3 * i + 4 && x < frame.width(); ++x) {
                frame.setPixel(x, y, colour);
            }
        }
        frames.push_back(frame);
    }
    return frames;
}

/// The bytes a writer writes when the export surveys every step first, as it does.
QByteArray surveyed_file(const std::vector<QImage>& frames, CodingEffort effort) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.png"));
    auto writer = make_apng_writer(path, {}, effort);
    EXPECT_TRUE(writer->surveys());
    Surface stage;
    for (const QImage& frame : frames) {
        stage.set_picture(frame);
        EXPECT_TRUE(writer->survey({stage, QImage()}));
    }
    for (const QImage& frame : frames) {
        stage.set_picture(frame);
        EXPECT_TRUE(writer->add({stage, QImage()}));
    }
    EXPECT_TRUE(writer->finish());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(ApngStreamTest, SurveyedWriterWritesWhatTheHeldFramesGive) {
    QImage background(40, 8, QImage::Format_RGB32);
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 8; ++y) background.setPixel(x, y, qRgb(x * 6, y * 30, 90));
    }
    for (const auto& frames : {moving_block(test::solid(40, 8, 0xFF2040A0u), 0xFFFF0000u, 12),
                               moving_block(background, 0xFFFF0000u, 12)}) {
        for (CodingEffort effort : {CodingEffort::Default, CodingEffort::Max}) {
            const QByteArray bytes = surveyed_file(frames, effort);
            const auto held = encode_apng(frames, {}, effort);
            ASSERT_TRUE(held);
            EXPECT_EQ(bytes, *held);
            expect_frames(test::decode_apng(bytes), frames);
        }
    }
}

TEST(ApngStreamTest, PackedAndByteWideIndicesBothDecodeBeyondTheTrialFrames) {
    // Four colours: the first frames are coded both ways, then one goes on alone.
    QImage background = test::solid(40, 8, 0xFF2040A0u);
    for (int x = 0; x < 40; x += 2) background.setPixel(x, 7, 0xFF00FF00u);
    for (const auto& frames : {moving_block(background, 0xFFFF0000u, 13),
                               moving_block(test::solid(200, 8, 0xFF2040A0u), 0xFFFF0000u, 3)}) {
        const auto apng = encoded_and_decoded(frames);
        EXPECT_EQ(apng.colour_type, 3);
        EXPECT_TRUE(apng.bit_depth == 2 || apng.bit_depth == 8) << apng.bit_depth;
        expect_frames(apng, frames);
    }
}

TEST(ApngStreamTest, ClearPixelsWithManyColoursUseAnUnusedColourAsKey) {
    QImage first(40, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 40; ++x) first.setPixel(x, y, qRgb(x * 6, y * 25, (x * y) & 0xFF));
    }
    first.setPixel(0, 0, 0u);  // black is in use, and a clear pixel must not show as it
    first.setPixel(1, 0, 0xFF000000u);
    QImage second = first.copy();
    second.setPixel(5, 5, 0u);
    second.setPixel(0, 0, 0xFF000001u);
    const auto bytes = encode_apng(std::vector<QImage>{first, second}, {});
    ASSERT_TRUE(bytes);
    const auto apng = test::decode_apng(*bytes);
    EXPECT_EQ(apng.colour_type, 2);  // three bytes a pixel, not four
    EXPECT_TRUE(bytes->contains("tRNS"));
    expect_frames(apng, {first, second});
}

TEST(ApngStreamTest, AFrameThatClearsTheOneBeforeDisposesItToTheBackground) {
    // A block moving over clear pixels: each frame clears where the block was.
    QImage clear(30, 8, QImage::Format_ARGB32);
    clear.fill(0u);
    std::vector<QImage> frames = moving_block(clear, 0xFFFF0000u, 6);
    for (QImage& frame : frames) frame.setPixel(29, 7, 0xFF00FF00u);
    const auto apng = encoded_and_decoded(frames);
    expect_frames(apng, frames);
    for (size_t i = 1; i < apng.rects.size(); ++i) {
        EXPECT_LT(apng.rects[i].width(), 30) << "frame " << i << " stored whole";
    }
    EXPECT_NE(std::count(apng.disposes.begin(), apng.disposes.end(), 1), 0);
}

TEST(ApngStreamTest, TheEncoderRefusesFramesThatWereNotSurveyed) {
    const std::vector<QImage> frames = {from_rows({"KR"}), from_rows({"RK"})};
    ApngSurvey survey;
    for (const QImage& frame : frames) ASSERT_TRUE(survey.add(frame));
    EXPECT_FALSE(survey.add(from_rows({"KRK"})));  // another size

    ApngEncoder fewer(survey, {}, CodingEffort::Default);
    ASSERT_TRUE(fewer.add(frames[0]));
    EXPECT_FALSE(fewer.finish());

    ApngEncoder more(survey, {}, CodingEffort::Default);
    for (const QImage& frame : frames) ASSERT_TRUE(more.add(frame));
    EXPECT_FALSE(more.add(frames[0]));
    EXPECT_FALSE(more.add(from_rows({"K"})));
}

}  // namespace
}  // namespace koma
