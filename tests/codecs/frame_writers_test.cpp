#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>

#include "codecs/gif/dib_capture.h"
#include "codecs/gif/dib_to_gif.h"
#include "codecs/gif/gif_encoder.h"
#include "codecs/gif/gif_writer.h"
#include "codecs/image_sequence_writer.h"
#include "codecs/png/png_encoder.h"
#include "support/gif_reader.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;

QImage coverage_of(std::initializer_list<std::string> rows) {
    const int h = static_cast<int>(rows.size());
    const int w = static_cast<int>(rows.begin()->size());
    QImage mask(w, h, QImage::Format_Grayscale8);
    int y = 0;
    for (const std::string& row : rows) {
        for (int x = 0; x < w; ++x)
            mask.scanLine(y)[x] = row[static_cast<size_t>(x)] == '1' ? 255 : 0;
        ++y;
    }
    return mask;
}

Surface surface_of(const QImage& image) {
    Surface s;
    s.set_picture(image);
    return s;
}

// --- GIF frame time and loop count ---

TEST(GifTimingTest, FrameTimesRoundToTheNearestHundredthHalvesToEven) {
    EXPECT_EQ(gif_delay_cs(80), 8);
    EXPECT_EQ(gif_delay_cs(84), 8);
    EXPECT_EQ(gif_delay_cs(86), 9);
    EXPECT_EQ(gif_delay_cs(25), 2);
    EXPECT_EQ(gif_delay_cs(35), 4);
    EXPECT_EQ(gif_delay_cs(20), 2);
    EXPECT_EQ(gif_delay_cs(65535), 6554);
    EXPECT_EQ(gif_delay_cs(4), 1);  // never a zero delay
}

TEST(GifTimingTest, LoopExtensionCountsRepeatsAfterTheFirstPlay) {
    QTemporaryDir dir;
    const std::vector<QImage> frames = {from_rows({"KR"}), from_rows({"RK"})};
    auto loop_of = [&](int plays) {
        const auto gif = encode_gif_animation(frames, 5, plays);
        EXPECT_TRUE(gif);
        const QString path = dir.filePath(QStringLiteral("p%1.gif").arg(plays));
        EXPECT_TRUE(test::write_file(path, gif->bytes));
        const test::DecodedGif decoded = test::decode_gif(path);
        EXPECT_EQ(decoded.delays, (std::vector<int>{5, 5}));
        return decoded.loop_count;
    };
    EXPECT_EQ(loop_of(0), 0);   // forever
    EXPECT_EQ(loop_of(1), -1);  // once: no extension
    EXPECT_EQ(loop_of(3), 2);
}

// --- the GIF writer behind the interface ---

TEST(GifFrameWriterTest, WritesTimingAndReleasesEveryCapture) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.gif"));
    const int held = dib_count();
    {
        auto writer = make_gif_writer(path, {130, 2});
        ASSERT_TRUE(writer->add(surface_of(from_rows({"KRK"})), {}));
        ASSERT_TRUE(writer->add(surface_of(from_rows({"KKR"})), {}));
        EXPECT_EQ(dib_count(), held + 2);
        const auto files = writer->finish();
        ASSERT_TRUE(files);
        EXPECT_EQ(*files, QStringList{path});
    }
    EXPECT_EQ(dib_count(), held);
    const test::DecodedGif gif = test::decode_gif(path);
    ASSERT_EQ(gif.frames.size(), 2u);
    EXPECT_EQ(gif.delays, (std::vector<int>{13, 13}));
    EXPECT_EQ(gif.loop_count, 1);
    EXPECT_EQ(pixel_difference(gif.frames[1], from_rows({"KKR"})), "");
}

TEST(GifFrameWriterTest, NoFramesWriteNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.gif"));
    const auto files = make_gif_writer(path, {})->finish();
    ASSERT_TRUE(files);
    EXPECT_TRUE(files->isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(GifFrameWriterTest, UncoveredPixelsAreTransparentAndCanBecomeTransparentAgain) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("walk.gif"));
    // A red bar moves right, leaving clear pixels where it was; the black pixel stays.
    const std::vector<QImage> coverages = {
        coverage_of({"0110", "0100"}), coverage_of({"0011", "0100"}), coverage_of({"1100", "0100"}),
        coverage_of({"1100", "0100"})};
    const std::vector<QImage> stages = {from_rows({"WRRW", "WKWW"}), from_rows({"WWRR", "WKWW"}),
                                        from_rows({"RRWW", "WKWW"}), from_rows({"RRWW", "WKWW"})};
    auto writer = make_gif_writer(path, {});
    for (size_t i = 0; i < stages.size(); ++i) {
        ASSERT_TRUE(writer->add(surface_of(stages[i]), coverages[i]));
    }
    ASSERT_TRUE(writer->finish());
    const test::DecodedGif gif = test::decode_gif(path);
    ASSERT_EQ(gif.error.toStdString(), "");
    ASSERT_EQ(gif.clear_frames.size(), stages.size());
    for (size_t i = 0; i < stages.size(); ++i) {
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                const bool covered = coverages[i].constScanLine(y)[x] != 0;
                const QRgb got = gif.clear_frames[i].pixel(x, y);
                if (covered) {
                    EXPECT_EQ(got, stages[i].pixel(x, y)) << i << " " << x << "," << y;
                } else {
                    EXPECT_EQ(qAlpha(got), 0) << i << " " << x << "," << y;
                }
            }
        }
    }
}

/// Writes the stages with their coverages as a GIF and checks that every frame shows exactly
/// the covered pixels in their colours and nothing elsewhere.
test::DecodedGif transparent_gif(const std::vector<QImage>& stages,
                                 const std::vector<QImage>& coverages) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.gif"));
    auto writer = make_gif_writer(path, {});
    for (size_t i = 0; i < stages.size(); ++i) {
        EXPECT_TRUE(writer->add(surface_of(stages[i]), coverages[i]));
    }
    EXPECT_TRUE(writer->finish());
    test::DecodedGif gif = test::decode_gif(path);
    EXPECT_EQ(gif.error.toStdString(), "");
    EXPECT_EQ(gif.clear_frames.size(), stages.size());
    for (size_t i = 0; i < std::min(stages.size(), gif.clear_frames.size()); ++i) {
        EXPECT_EQ(pixel_difference(gif.clear_frames[i], stage_with_alpha(stages[i], coverages[i])),
                  "")
            << "frame " << i;
    }
    return gif;
}

TEST(GifFrameWriterTest, PixelsClearedOutsideTheRectangleBeforeAreClearedAllTheSame) {
    // Frame 1 changes only its right end; frame 2 clears its left end, which frame 1 did not
    // store: frame 1 is coded again over both before it is disposed.
    const std::vector<QImage> stages(4, from_rows({"RWWWWG"}));
    const std::vector<QImage> coverages = {coverage_of({"100000"}), coverage_of({"100001"}),
                                           coverage_of({"000001"}), coverage_of({"000001"})};
    transparent_gif(stages, coverages);
}

TEST(GifFrameWriterTest, FramesThatWaitForTheirDisposalKeepTheirOwnDelays) {
    // Frame 2 clears pixels frame 1 did not store: frame 1 waits, is coded again and disposed.
    // Each frame keeps the time it was added with (hundredths, halves to even, at least 2).
    const QImage stage = from_rows({"RWWWWG"});
    const std::vector<QImage> coverages = {coverage_of({"100000"}), coverage_of({"100001"}),
                                           coverage_of({"000001"}), coverage_of({"000001"})};
    const std::vector<int> durations = {30, 120, 45, 10};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.gif"));
    auto writer = make_gif_writer(path, {});
    const Surface surface = surface_of(stage);
    for (size_t i = 0; i < coverages.size(); ++i) {
        ASSERT_TRUE(writer->add(StageFrame{surface, coverages[i], durations[i]}));
    }
    ASSERT_TRUE(writer->finish());
    const test::DecodedGif gif = test::decode_gif(path);
    EXPECT_EQ(gif.delays, (std::vector<int>{3, 12, 4, 2}));
    ASSERT_EQ(gif.clear_frames.size(), coverages.size());
    for (size_t i = 0; i < coverages.size(); ++i) {
        EXPECT_EQ(pixel_difference(gif.clear_frames[i], stage_with_alpha(stage, coverages[i])), "")
            << "frame " << i;
    }
}

TEST(GifFrameWriterTest, ABlockMovingOverClearPixelsStoresLessThanWholeFrames) {
    std::vector<QImage> stages, coverages;
    for (int i = 0; i < 6; ++i) {
        stages.push_back(test::solid(20, 4, 0xFF0000FFu));
        QImage coverage(20, 4, QImage::Format_Grayscale8);
        coverage.fill(0);
        for (int y = 1; y < 3; ++y) {
            for (int x = 2 * i; x < 2 * i + 3; ++x) coverage.scanLine(y)[x] = 255;
        }
        coverages.push_back(coverage);
    }
    const test::DecodedGif gif = transparent_gif(stages, coverages);
    for (size_t i = 1; i < gif.rects.size(); ++i) {
        EXPECT_LT(gif.rects[i].width(), 20) << "frame " << i << " stored whole";
    }
}

TEST(GifFrameWriterTest, ManyColoursKeepClearPixelsClearAndOpaqueOnesOpaque) {
    std::vector<QImage> stages, coverages;
    for (int i = 0; i < 3; ++i) {
        QImage stage(40, 20, QImage::Format_RGB32);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 40; ++x) stage.setPixel(x, y, qRgb(x * 6, y * 12, (x + i) * 5));
        }
        stages.push_back(stage);
        QImage coverage(40, 20, QImage::Format_Grayscale8);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 40; ++x) coverage.scanLine(y)[x] = (x + y + i) % 5 ? 255 : 0;
        }
        coverages.push_back(coverage);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.gif"));
    auto writer = make_gif_writer(path, {});
    for (size_t i = 0; i < stages.size(); ++i) {
        ASSERT_TRUE(writer->add(surface_of(stages[i]), coverages[i]));
    }
    ASSERT_TRUE(writer->finish());
    const test::DecodedGif gif = test::decode_gif(path);
    ASSERT_EQ(gif.clear_frames.size(), stages.size());
    for (size_t i = 0; i < stages.size(); ++i) {
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool covered = coverages[i].constScanLine(y)[x] != 0;
                EXPECT_EQ(qAlpha(gif.clear_frames[i].pixel(x, y)), covered ? 255 : 0)
                    << "frame " << i << " at " << x << "," << y;
            }
        }
    }
}

// --- sequences ---

TEST(SequenceWriterTest, PngFilesAreNamedPerStepAndHoldTheStageWithAlpha) {
    QTemporaryDir dir;
    auto writer = make_png_sequence_writer(
        [&](int step) { return dir.filePath(QStringLiteral("s%1.png").arg(step)); });
    ASSERT_TRUE(writer->add(surface_of(from_rows({"KRG"})), {}));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("s0.png"))));  // written at once
    ASSERT_TRUE(writer->add(surface_of(from_rows({"KRG"})), coverage_of({"010"})));
    const auto files = writer->finish();
    ASSERT_TRUE(files);
    EXPECT_EQ(*files, (QStringList{dir.filePath(QStringLiteral("s0.png")),
                                   dir.filePath(QStringLiteral("s1.png"))}));
    QImage first(dir.filePath(QStringLiteral("s0.png")));
    EXPECT_EQ(pixel_difference(first, from_rows({"KRG"})), "");
    EXPECT_FALSE(first.hasAlphaChannel());
    QImage second(dir.filePath(QStringLiteral("s1.png")));
    QImage expected = from_rows({"KRG"}).convertToFormat(QImage::Format_ARGB32);
    expected.setPixel(0, 0, 0u);
    expected.setPixel(2, 0, 0u);
    EXPECT_EQ(pixel_difference(second, expected), "");
}

TEST(SequenceWriterTest, SmoothColourIsCodedAtTheHighestLevelWhenThatIsMuchSmaller) {
    // Repeats three rows apart, which only zlib's long match search finds.
    QImage image(160, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 160; ++x) image.setPixel(x, y, qRgb(x, y * 5, (x + 3 * y) % 160));
    }
    const PngLayout layout = image_layout(image);
    const auto quick = encode_png(image, image.rect(), layout, default_coding(layout));
    const auto highest = encode_png(image, image.rect(), layout, PngCoding{});
    ASSERT_TRUE(quick && highest);
    ASSERT_LT(highest->size() * 2, quick->size());  // the case this is about

    QTemporaryDir dir;
    auto writer = make_png_sequence_writer(
        [&](int step) { return dir.filePath(QStringLiteral("s%1.png").arg(step)); });
    for (int step = 0; step < 3; ++step) ASSERT_TRUE(writer->add(surface_of(image), {}));
    ASSERT_TRUE(writer->finish());
    for (int step = 0; step < 3; ++step) {
        const QString path = dir.filePath(QStringLiteral("s%1.png").arg(step));
        EXPECT_LE(QFileInfo(path).size(), highest->size()) << "step " << step;
        EXPECT_EQ(pixel_difference(QImage(path), image), "") << "step " << step;
    }
}

TEST(SequenceWriterTest, BmpFilesStayOpaqueWhateverTheCoverage) {
    QTemporaryDir dir;
    auto writer = make_bmp_sequence_writer(
        [&](int step) { return dir.filePath(QStringLiteral("s%1.bmp").arg(step)); });
    ASSERT_TRUE(writer->add(surface_of(from_rows({"KRG"})), coverage_of({"000"})));
    const auto files = writer->finish();
    ASSERT_TRUE(files);
    ASSERT_EQ(files->size(), 1);
    EXPECT_EQ(pixel_difference(QImage(files->front()), from_rows({"KRG"})), "");
}

TEST(SequenceWriterTest, AFileThatCannotBeWrittenNamesIt) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/s.png"));
    auto writer = make_png_sequence_writer([&](int) { return missing; });
    const auto added = writer->add(surface_of(from_rows({"K"})), {});
    ASSERT_FALSE(added);
    EXPECT_TRUE(added.error().contains(missing));
}

}  // namespace
}  // namespace koma
