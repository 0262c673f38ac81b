#include "codecs/png/png_encoder.h"

#include <gtest/gtest.h>

#include "codecs/png/deflate_recode.h"
#include "codecs/png/png_chunks.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::pixel_difference;

QImage decoded(const QByteArray& png) {
    QImage image;
    EXPECT_TRUE(image.loadFromData(png, "PNG"));
    return image;
}

int colour_type(const QByteArray& png) { return static_cast<uint8_t>(png_chunks(png)[0].data[9]); }
int bit_depth(const QByteArray& png) { return static_cast<uint8_t>(png_chunks(png)[0].data[8]); }

/// An RGB32 image with `colours` different colours, one per pixel in a row.
QImage many_colours(int colours) {
    QImage image(colours, 2, QImage::Format_RGB32);
    for (int x = 0; x < colours; ++x) {
        image.setPixel(x, 0, qRgb(x & 0xFF, x >> 8, 7));
        image.setPixel(x, 1, qRgb(x & 0xFF, x >> 8, 7));
    }
    return image;
}

// --- choosing the layout ---

TEST(PngLayoutTest, FewColoursMakeASmallPaletteWithTheSmallestDepth) {
    ColourCensus census;
    census.add(from_rows({"KWRG", "GRWK"}), QRect(0, 0, 4, 2));
    const PngLayout layout = choose_png_layout(census, false);
    EXPECT_EQ(layout.kind, PngLayout::Kind::Palette);
    EXPECT_EQ(layout.palette.size(), 4u);
    EXPECT_EQ(layout.bit_depth, 2);
    EXPECT_FALSE(layout.has_clear());
}

TEST(PngLayoutTest, BlendingAsksForOneClearEntryFirst) {
    ColourCensus census;
    census.add(from_rows({"KW"}), QRect(0, 0, 2, 1));
    const PngLayout layout = choose_png_layout(census, true);
    ASSERT_EQ(layout.palette.size(), 3u);
    EXPECT_EQ(qAlpha(layout.palette[0]), 0);
    EXPECT_TRUE(layout.has_clear());
    EXPECT_EQ(layout.bit_depth, 2);
}

TEST(PngLayoutTest, OnlyTheAreaGivenIsCounted) {
    ColourCensus census;
    census.add(from_rows({"KWRGBMYC"}), QRect(0, 0, 2, 1));
    EXPECT_EQ(census.values().size(), 2u);
}

TEST(PngLayoutTest, MoreThan256ColoursGoToRgbOrRgbaWithClearPixels) {
    ColourCensus census;
    census.add(many_colours(257), QRect(0, 0, 257, 2));
    EXPECT_TRUE(census.overflowed());
    EXPECT_EQ(choose_png_layout(census, false).kind, PngLayout::Kind::Rgb);
    EXPECT_EQ(choose_png_layout(census, true).kind, PngLayout::Kind::Rgba);

    // A clear pixel seen after the count overflowed still asks for alpha.
    QImage with_clear = many_colours(300).convertToFormat(QImage::Format_ARGB32);
    with_clear.setPixel(299, 1, 0u);
    ColourCensus late;
    late.add(with_clear, with_clear.rect());
    EXPECT_TRUE(late.any_clear());
    EXPECT_EQ(choose_png_layout(late, false).kind, PngLayout::Kind::Rgba);
}

TEST(PngLayoutTest, Exactly256ColoursStillFitAPaletteButLeaveNoRoomForClear) {
    ColourCensus census;
    census.add(many_colours(256), QRect(0, 0, 256, 2));
    EXPECT_FALSE(census.overflowed());
    const PngLayout layout = choose_png_layout(census, true);
    EXPECT_EQ(layout.kind, PngLayout::Kind::Palette);
    EXPECT_EQ(layout.palette.size(), 256u);
    EXPECT_FALSE(layout.has_clear());
}

// --- coding exactly ---

TEST(PngEncoderTest, PaletteImagesDecodeToTheirPixels) {
    const QImage image = from_rows({"KWRGBMYC", "CYMBGRWK", "KKKKWWWW"});
    const auto png = encode_png(image);
    ASSERT_TRUE(png) << png.error().toStdString();
    EXPECT_EQ(colour_type(*png), 3);
    EXPECT_EQ(bit_depth(*png), 4);
    EXPECT_EQ(pixel_difference(decoded(*png), image), "");
}

TEST(PngEncoderTest, OneBitPalettesKeepRowsThatDoNotFillAByte) {
    const QImage image = from_rows({"KWKWKWKWKWK", "WWWWWWWWWWK"});
    const auto png = encode_png(image);
    ASSERT_TRUE(png);
    EXPECT_EQ(bit_depth(*png), 1);
    EXPECT_EQ(pixel_difference(decoded(*png), image), "");
}

TEST(PngEncoderTest, ManyColoursAreStoredAsRgb) {
    const QImage image = many_colours(400);
    const auto png = encode_png(image);
    ASSERT_TRUE(png);
    EXPECT_EQ(colour_type(*png), 2);
    EXPECT_EQ(pixel_difference(decoded(*png), image), "");
}

TEST(PngEncoderTest, ClearPixelsStayClearInPaletteAndRgba) {
    QImage small = from_rows({"KWR"}).convertToFormat(QImage::Format_ARGB32);
    small.setPixel(1, 0, 0u);
    const auto png = encode_png(small);
    ASSERT_TRUE(png);
    EXPECT_EQ(colour_type(*png), 3);
    EXPECT_EQ(pixel_difference(decoded(*png), small), "");

    QImage large = many_colours(300).convertToFormat(QImage::Format_ARGB32);
    large.setPixel(5, 1, 0u);
    const auto rgba = encode_png(large);
    ASSERT_TRUE(rgba);
    EXPECT_EQ(colour_type(*rgba), 6);
    EXPECT_EQ(pixel_difference(decoded(*rgba), large), "");
}

TEST(PngEncoderTest, AnAreaIsCodedOnItsOwn) {
    const QImage image = from_rows({"KKKK", "KRGK", "KBYK"});
    ColourCensus census;
    census.add(image, image.rect());
    const auto png = encode_png(image, QRect(1, 1, 2, 2), choose_png_layout(census, false));
    ASSERT_TRUE(png);
    EXPECT_EQ(pixel_difference(decoded(*png), image.copy(1, 1, 2, 2)), "");
    EXPECT_FALSE(encode_png(image, QRect(3, 2, 2, 2), choose_png_layout(census, false)));
}

TEST(PngEncoderTest, RecodingKeepsTheRowsAndNeverGrows) {
    QImage image(64, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) & 0xFF));
    }
    ColourCensus census;
    census.add(image, image.rect());
    const PngLayout layout = choose_png_layout(census, false);
    const auto plain = encode_png(image, image.rect(), layout);
    ASSERT_TRUE(plain);
    QByteArray rows;
    for (const PngChunk& chunk : png_chunks(*plain)) {
        if (chunk.type == "IDAT") rows.append(chunk.data);
    }
    const QByteArray recoded = recode_smaller(rows, filtered_size(64, 40, layout));
    EXPECT_LE(recoded.size(), rows.size());
    // The whole-image coder uses it and still decodes to the same pixels.
    const auto png = encode_png(image);
    ASSERT_TRUE(png);
    EXPECT_LE(png->size(), plain->size());
    EXPECT_EQ(pixel_difference(decoded(*png), image), "");
    // Rows of the wrong size are handed back as they were.
    EXPECT_EQ(recode_smaller(rows, filtered_size(64, 39, layout)), rows);
}

// --- chunks ---

TEST(PngChunkTest, ChunksReadBackWithTheirCrc) {
    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    file.append(png_chunk_bytes("abCD", QByteArray("xyz")));
    file.append(png_chunk_bytes("IEND", {}));
    const auto chunks = png_chunks(file);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].type, "abCD");
    EXPECT_EQ(chunks[0].data, "xyz");
    // The CRC of IEND with no data is fixed by the format.
    EXPECT_EQ(file.right(4), QByteArray("\xAE\x42\x60\x82", 4));
    // A chunk that claims more than there is ends the list.
    file.chop(5);
    EXPECT_EQ(png_chunks(file).size(), 1u);
}

TEST(PngEncoderTest, TheDefaultEffortCodesOnceAndStaysExact) {
    QImage clear_many = many_colours(300).convertToFormat(QImage::Format_ARGB32);
    clear_many.setPixel(5, 1, 0u);
    clear_many.setPixel(0, 0, 0xFF000000u);  // black is in use: the key is another colour
    QImage clear_few = from_rows({"KWR"}).convertToFormat(QImage::Format_ARGB32);
    clear_few.setPixel(1, 0, 0u);
    for (const QImage& image :
         {from_rows({"KWRGBMYC", "CYMBGRWK"}), many_colours(400), clear_few, clear_many}) {
        const auto png = encode_png(image, CodingEffort::Default);
        ASSERT_TRUE(png) << png.error().toStdString();
        EXPECT_EQ(pixel_difference(decoded(*png), image), "");
    }
    // Many colours with clear pixels: three bytes a pixel and a colour marked clear.
    const auto keyed = encode_png(clear_many, CodingEffort::Default);
    EXPECT_EQ(colour_type(*keyed), 2);
    EXPECT_TRUE(keyed->contains("tRNS"));
    // The highest effort is the whole-image coder's.
    EXPECT_EQ(*encode_png(clear_many, CodingEffort::Max), *encode_png(clear_many));
}

}  // namespace
}  // namespace koma
