#include "codecs/avif/avif_writer.h"

#include <avif/avif.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "codecs/frame_writer.h"
#include "support/avif_reader.h"
#include "support/file_bytes.h"
#include "support/pixels.h"
#include "support/walk_stage.h"

namespace koma {
namespace {

using test::pixel_difference;

// Durations that differ from frame to frame, with both ends of the range among them.
int duration_of(int frame) { return frame == 2 ? 1 : frame == 5 ? 65535 : 20 + frame * 37 % 181; }

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// A coverage that leaves the sky above row `horizon` uncovered.
QImage sky_clear(QSize size, int horizon) {
    QImage coverage(size, QImage::Format_Grayscale8);
    coverage.fill(255);
    for (int y = 0; y < horizon; ++y) std::memset(coverage.scanLine(y), 0, size.width());
    return coverage;
}

TEST(AvifWriter, EveryFrameDecodesToItsExactPixelsAndDuration) {
    QTemporaryDir dir;
    const QString path = dir.filePath("walk.avif");
    // Faster than the fastest exact speed is asked for, and must not be used.
    auto writer = AvifWriter::create(path, {.size = {462, 110}, .speed = 10});
    ASSERT_TRUE(writer) << writer.error().toStdString();
    std::vector<QImage> frames;
    for (int i = 0; i < 12; ++i) {
        frames.push_back(test::walk_stage(i * 7));
        ASSERT_TRUE((*writer)->add(frames.back(), QImage(), duration_of(i)));
    }
    const auto written = (*writer)->finish();
    ASSERT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(*written, QStringList{path});

    const test::DecodedAvif avif = test::decode_avif(path);
    ASSERT_EQ(avif.error, "");
    EXPECT_FALSE(avif.has_alpha);
    EXPECT_EQ(avif.matrix_coefficients, AVIF_MATRIX_COEFFICIENTS_IDENTITY);
    EXPECT_EQ(avif.yuv_format, AVIF_PIXEL_FORMAT_YUV444);
    EXPECT_EQ(avif.yuv_range, AVIF_RANGE_FULL);
    EXPECT_EQ(avif.depth, 8);
    ASSERT_EQ(avif.frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(avif.durations_ms[i], duration_of(static_cast<int>(i))) << "frame " << i;
        EXPECT_EQ(pixel_difference(avif.frames[i], frames[i]), "") << "frame " << i;
    }
    EXPECT_EQ(entries(dir), QStringList{"walk.avif"});
}

TEST(AvifWriter, TheCoverageBecomesAlphaAsForTheOtherFormats) {
    QTemporaryDir dir;
    const QString path = dir.filePath("clear.avif");
    const QSize size(462, 110);
    auto writer = AvifWriter::create(path, {.size = size, .transparent = true});
    ASSERT_TRUE(writer);
    std::vector<QImage> expected;
    for (int i = 0; i < 4; ++i) {
        // The last frame comes without a coverage: wholly opaque.
        const QImage coverage = i < 3 ? sky_clear(size, 20 + i * 15) : QImage();
        const QImage stage = test::walk_stage(i * 11);
        expected.push_back(
            stage_with_alpha(stage, coverage).convertToFormat(QImage::Format_ARGB32));
        ASSERT_TRUE((*writer)->add(stage, coverage, 100));
    }
    ASSERT_TRUE((*writer)->finish());
    const test::DecodedAvif avif = test::decode_avif(path);
    ASSERT_EQ(avif.error, "");
    EXPECT_TRUE(avif.has_alpha);
    ASSERT_EQ(avif.frames.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        // Exact in all four channels, transparent pixels included (transparent black).
        EXPECT_EQ(avif.frames[i], expected[i]) << "frame " << i;
    }
}

TEST(AvifWriter, TinyAndOddSizesStayExact) {
    for (const QSize size : {QSize(1, 1), QSize(7, 5), QSize(3, 64)}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("odd.avif");
        auto writer = AvifWriter::create(path, {.size = size});
        ASSERT_TRUE(writer);
        std::vector<QImage> frames;
        for (int i = 0; i < 3; ++i) {
            frames.push_back(test::walk_stage(i * 13).copy(QRect(QPoint(200, 60), size)));
            ASSERT_TRUE((*writer)->add(frames.back(), QImage(), 40));
        }
        ASSERT_TRUE((*writer)->finish());
        const test::DecodedAvif avif = test::decode_avif(path);
        ASSERT_EQ(avif.frames.size(), frames.size()) << avif.error.toStdString();
        for (size_t i = 0; i < frames.size(); ++i) {
            EXPECT_EQ(pixel_difference(avif.frames[i], frames[i]), "")
                << size.width() << "x" << size.height();
        }
    }
}

TEST(AvifWriter, AFailedOrDroppedWriterLeavesTheOldFileAndNothingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.avif");
    test::write_bytes(path, "old");
    const QImage stage = test::walk_stage(0);
    {
        auto dropped = AvifWriter::create(path, {.size = stage.size()});
        ASSERT_TRUE(dropped);
        ASSERT_TRUE((*dropped)->add(stage, QImage(), 50));
    }
    auto refused = AvifWriter::create(path, {.size = stage.size()});
    ASSERT_TRUE(refused);
    ASSERT_TRUE((*refused)->add(stage, QImage(), 50));
    // A frame of another size, a coverage for an opaque file and a bad duration each end it.
    const auto smaller = (*refused)->add(stage.copy(0, 0, 100, 50), QImage(), 50);
    ASSERT_FALSE(smaller);
    EXPECT_TRUE(smaller.error().startsWith(path + ": ")) << smaller.error().toStdString();
    EXPECT_TRUE(smaller.error().contains("100 x 50"));
    EXPECT_FALSE((*refused)->add(stage, QImage(), 50)) << "no frames after a failure";
    EXPECT_FALSE((*refused)->finish());
    for (const int ms : {0, 65536}) {
        auto timed = AvifWriter::create(path, {.size = stage.size()});
        ASSERT_TRUE(timed);
        EXPECT_FALSE((*timed)->add(stage, QImage(), ms));
    }
    auto opaque = AvifWriter::create(path, {.size = stage.size()});
    ASSERT_TRUE(opaque);
    EXPECT_FALSE((*opaque)->add(stage, sky_clear(stage.size(), 10), 50));
    auto empty = AvifWriter::create(path, {.size = stage.size()});
    ASSERT_TRUE(empty);
    EXPECT_FALSE((*empty)->finish()) << "no frames";
    EXPECT_EQ(test::read_bytes(path), "old");
    EXPECT_EQ(entries(dir), QStringList{"kept.avif"});

    // A folder that cannot be made: its parent is a file (refused even to the super-user).
    const QString unreachable = dir.filePath("kept.avif/out.avif");
    const auto unwritable = AvifWriter::create(unreachable, {.size = stage.size()});
    ASSERT_FALSE(unwritable);
    EXPECT_TRUE(unwritable.error().startsWith(unreachable + ": "));
    EXPECT_FALSE(AvifWriter::create(path, {.size = {0, 10}}));
    EXPECT_EQ(entries(dir), QStringList{"kept.avif"});
}

}  // namespace
}  // namespace koma
