#include "codecs/sheet/sheet_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "codecs/frame_writer.h"
#include "support/file_bytes.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::pixel_difference;

QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QString name_of(int index) { return QStringLiteral("walk %1").arg(index, 2, 10, QLatin1Char('0')); }

// Frame `i`: 5 x 3 pixels, its own colour, with a white mark at column i % 5.
QImage frame(int i) {
    QImage image = test::solid(5, 3, qRgb(30 * i, 255 - 20 * i, 90));
    image.setPixel(i % 5, 1, 0xFFFFFFFF);
    return image;
}

struct Sheet {
    QImage image;
    QJsonObject data;
};

// Writes `count` frames (frame(i), 10 * (i + 1) ms) and reads the two files back.
Sheet write_sheet(const QTemporaryDir& dir, int count, SheetSettings settings,
                  const std::vector<QImage>& coverages = {}) {
    settings.cell = QSize(5, 3);
    settings.frame_count = count;
    settings.frame_name = name_of;
    settings.app_version = "1.2.3";
    auto writer =
        SheetWriter::create(dir.filePath("walk.png"), dir.filePath("walk.json"), settings);
    EXPECT_TRUE(writer) << writer.error().toStdString();
    if (!writer) return {};
    for (int i = 0; i < count; ++i) {
        const QImage coverage = coverages.empty() ? QImage() : coverages[i];
        EXPECT_TRUE((*writer)->add(frame(i), coverage, 10 * (i + 1)));
    }
    const auto written = (*writer)->finish();
    EXPECT_TRUE(written) << written.error().toStdString();
    EXPECT_EQ(written.value_or(QStringList()),
              (QStringList{dir.filePath("walk.png"), dir.filePath("walk.json")}));
    QJsonParseError error;
    const QJsonDocument data =
        QJsonDocument::fromJson(test::read_bytes(dir.filePath("walk.json")), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return {QImage(dir.filePath("walk.png")), data.object()};
}

QRect rect_of(const QJsonObject& o) {
    return {o["x"].toInt(), o["y"].toInt(), o["w"].toInt(), o["h"].toInt()};
}

TEST(SheetWriter, EveryCellHoldsItsFrameAndTheDataNamesItInTheHashLayout) {
    QTemporaryDir dir;
    // Seven 5 x 3 frames: 2 columns of 4 rows (10 x 12) is the most square; one cell stays empty.
    const Sheet sheet = write_sheet(dir, 7, {.scale = 2});
    ASSERT_EQ(sheet.image.size(), QSize(10, 12));
    EXPECT_TRUE(sheet.image.hasAlphaChannel());
    const QJsonObject frames = sheet.data["frames"].toObject();
    ASSERT_EQ(frames.size(), 7);
    for (int i = 0; i < 7; ++i) {
        const QJsonObject entry = frames[name_of(i)].toObject();
        const QRect cell = rect_of(entry["frame"].toObject());
        EXPECT_EQ(cell, QRect(i % 2 * 5, i / 2 * 3, 5, 3)) << "frame " << i;
        EXPECT_EQ(pixel_difference(sheet.image.copy(cell), frame(i)), "") << "frame " << i;
        EXPECT_EQ(entry["duration"], 10 * (i + 1));
        EXPECT_EQ(entry["rotated"], false);
        EXPECT_EQ(entry["trimmed"], false);
        EXPECT_EQ(rect_of(entry["spriteSourceSize"].toObject()), QRect(0, 0, 5, 3));
        EXPECT_EQ(entry["sourceSize"].toObject(), (QJsonObject{{"w", 5}, {"h", 3}}));
    }
    QImage clear(5, 3, QImage::Format_ARGB32);
    clear.fill(0u);
    EXPECT_EQ(sheet.image.copy(5, 9, 5, 3).convertToFormat(QImage::Format_ARGB32), clear);
    const QJsonObject meta = sheet.data["meta"].toObject();
    EXPECT_EQ(meta, (QJsonObject{{"app", "koma"},
                                 {"version", "1.2.3"},
                                 {"image", "walk.png"},
                                 {"format", "RGBA8888"},
                                 {"size", QJsonObject{{"w", 10}, {"h", 12}}},
                                 {"scale", "2"}}));
    EXPECT_EQ(entries(dir), (QStringList{"walk.json", "walk.png"}));
}

TEST(SheetWriter, AFullOpaqueGridIsRgbAndCoveragesMakeClearPixels) {
    QTemporaryDir dir;
    const Sheet opaque = write_sheet(dir, 6, {.columns = 3});
    ASSERT_EQ(opaque.image.size(), QSize(15, 6));
    EXPECT_FALSE(opaque.image.hasAlphaChannel());
    EXPECT_EQ(pixel_difference(opaque.image.copy(10, 3, 5, 3), frame(5)), "");

    std::vector<QImage> coverages;
    for (int i = 0; i < 6; ++i) {
        QImage coverage(5, 3, QImage::Format_Grayscale8);
        coverage.fill(255);
        coverage.setPixel(i % 5, 2, 0);
        coverages.push_back(coverage);
    }
    const Sheet clear = write_sheet(dir, 6, {.columns = 3, .transparent = true}, coverages);
    ASSERT_TRUE(clear.image.hasAlphaChannel());
    for (int i = 0; i < 6; ++i) {
        const QRect cell(i % 3 * 5, i / 3 * 3, 5, 3);
        EXPECT_EQ(clear.image.copy(cell).convertToFormat(QImage::Format_ARGB32),
                  stage_with_alpha(frame(i), coverages[i]))
            << "frame " << i;
    }
}

TEST(SheetLayout, TheMostSquareGridHasTheShortestLongerSide) {
    EXPECT_EQ(most_square_columns(91, {462, 110}), 5) << "2310 x 2090 rather than 4620 x 1100";
    EXPECT_EQ(most_square_columns(91, {32, 32}), 10);
    EXPECT_EQ(most_square_columns(4, {32, 32}), 2);
    EXPECT_EQ(most_square_columns(3, {10, 100}), 3);
    EXPECT_EQ(most_square_columns(1, {462, 110}), 1);
    const auto clamped = sheet_layout(3, {8, 8}, 10);
    ASSERT_TRUE(clamped);
    EXPECT_EQ(clamped->size(), QSize(24, 8));
    // The walk scene at scale 8 would be 18480 pixels wide.
    EXPECT_FALSE(sheet_layout(91, QSize(462, 110) * 8));
    EXPECT_EQ(largest_sheet_scale(91, {462, 110}), 7);
    EXPECT_EQ(largest_sheet_scale(2, {16384, 1}, 2), 0);
    EXPECT_FALSE(sheet_layout(0, {8, 8}));
}

TEST(SheetWriter, AFailedOrDroppedWriterLeavesTheOldFilesAndNothingElse) {
    QTemporaryDir dir;
    const QString image = dir.filePath("walk.png");
    const QString data = dir.filePath("walk.json");
    test::write_bytes(image, "old sheet");
    test::write_bytes(data, "old data");
    const auto writer = [&] {
        auto created = SheetWriter::create(
            image, data, {.cell = {5, 3}, .frame_count = 2, .frame_name = name_of});
        EXPECT_TRUE(created) << created.error().toStdString();
        return created ? std::move(*created) : nullptr;
    };
    writer()->add(frame(0), QImage(), 10);  // dropped before finish()
    const auto short_of_one = writer();
    ASSERT_TRUE(short_of_one->add(frame(0), QImage(), 10));
    const auto unfinished = short_of_one->finish();
    ASSERT_FALSE(unfinished);
    EXPECT_TRUE(unfinished.error().startsWith(image + ": ")) << unfinished.error().toStdString();
    const auto one_too_many = writer();
    ASSERT_TRUE(one_too_many->add(frame(0), QImage(), 10) &&
                one_too_many->add(frame(1), QImage(), 10));
    EXPECT_FALSE(one_too_many->add(frame(2), QImage(), 10));
    EXPECT_FALSE(one_too_many->finish());
    EXPECT_EQ(test::read_bytes(image), "old sheet");
    EXPECT_EQ(test::read_bytes(data), "old data");

    const QString unreachable = image + "/walk.json";  // its parent is a file
    const auto unwritable =
        SheetWriter::create(dir.filePath("new.png"), unreachable,
                            {.cell = {5, 3}, .frame_count = 2, .frame_name = name_of});
    ASSERT_FALSE(unwritable);
    EXPECT_TRUE(unwritable.error().startsWith(unreachable + ": "));
    EXPECT_EQ(entries(dir), (QStringList{"walk.json", "walk.png"}));
}

}  // namespace
}  // namespace koma
