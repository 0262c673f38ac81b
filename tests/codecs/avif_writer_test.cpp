#include "codecs/avif/avif_writer.h"

#include <avif/avif.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstring>

#include "codecs/frame_writer.h"
#include "support/avif_reader.h"
#include "support/file_bytes.h"
#include "support/pixels.h"
#include "support/walk_stage.h"

namespace koma {
namespace {

// Durations that differ from frame to frame, with both ends of the range among them.
int duration_of(int frame) { return frame == 2 ? 1 : frame == 5 ? 65535 : 20 + frame * 37 % 181; }

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(AvifWriter, EveryFrameDecodesToItsExactPixelsAndDuration) {
    for (const auto& [size, count] :
         {std::pair{QSize(462, 110), 12}, {QSize(7, 5), 3}, {QSize(1, 1), 2}}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("walk.avif");
        // Faster than the fastest exact speed is asked for, and must not be used.
        auto writer = AvifWriter::create(path, {.size = size, .speed = 10});
        ASSERT_TRUE(writer) << writer.error().toStdString();
        std::vector<QImage> frames;
        for (int i = 0; i < count; ++i) {
            frames.push_back(
                test::walk_stage(i * 7).copy(QRect(QPoint(0, 110 - size.height()), size)));
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
            EXPECT_EQ(test::pixel_difference(avif.frames[i], frames[i]), "") << "frame " << i;
        }
        EXPECT_EQ(entries(dir), QStringList{"walk.avif"});
    }
}

TEST(AvifWriter, TheCoverageBecomesAlphaAsForTheOtherFormats) {
    QTemporaryDir dir;
    const QString path = dir.filePath("clear.avif");
    const QSize size(462, 110);
    auto writer = AvifWriter::create(path, {.size = size, .transparent = true});
    ASSERT_TRUE(writer);
    std::vector<QImage> expected;
    for (int i = 0; i < 4; ++i) {
        // The sky above a line that moves is clear; the last frame comes without a coverage.
        QImage coverage(size, QImage::Format_Grayscale8);
        coverage.fill(255);
        for (int y = 0; y < 20 + 15 * i; ++y) std::memset(coverage.scanLine(y), 0, size.width());
        if (i == 3) coverage = QImage();
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
        // Exact in all four channels, the transparent pixels transparent black.
        EXPECT_EQ(avif.frames[i], expected[i]) << "frame " << i;
    }
}

TEST(AvifWriter, AFailedOrDroppedWriterLeavesTheOldFileAndNothingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.avif");
    test::write_bytes(path, "old");
    const QImage stage = test::walk_stage(0);
    const AvifSettings settings{.size = stage.size()};
    const auto writer = [&] {
        auto created = AvifWriter::create(path, settings);
        EXPECT_TRUE(created) << created.error().toStdString();
        return created ? std::move(*created) : nullptr;
    };
    writer()->add(stage, QImage(), 50);  // dropped before finish()
    const auto refused = writer();
    ASSERT_TRUE(refused->add(stage, QImage(), 50));
    const auto smaller = refused->add(stage.copy(0, 0, 100, 50), QImage(), 50);
    ASSERT_FALSE(smaller);
    EXPECT_TRUE(smaller.error().startsWith(path + ": ")) << smaller.error().toStdString();
    EXPECT_FALSE(refused->add(stage, QImage(), 50)) << "no frames after a failure";
    EXPECT_FALSE(refused->finish());
    EXPECT_FALSE(writer()->add(stage, QImage(), 0));
    const QImage coverage(stage.size(), QImage::Format_Grayscale8);
    EXPECT_FALSE(writer()->add(stage, coverage, 50)) << "a coverage for an opaque file";
    EXPECT_FALSE(writer()->finish()) << "no frames";
    EXPECT_EQ(test::read_bytes(path), "old");

    // A folder that cannot be made: its parent is a file (refused even to the super-user).
    const QString unreachable = path + "/out.avif";
    const auto unwritable = AvifWriter::create(unreachable, settings);
    ASSERT_FALSE(unwritable);
    EXPECT_TRUE(unwritable.error().startsWith(unreachable + ": "));
    EXPECT_EQ(entries(dir), QStringList{"kept.avif"});
}

}  // namespace
}  // namespace koma
