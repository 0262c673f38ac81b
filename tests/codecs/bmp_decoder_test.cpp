#include "codecs/bmp/bmp_decoder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <cstring>

#include "codecs/image_limits.h"
#include "codecs/picture_loader.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::BmpRecipe;
using test::build_bmp;

constexpr QRgb kRed = 0xFFFF0000u;
constexpr QRgb kGreen = 0xFF00FF00u;
constexpr QRgb kBlue = 0xFF0000FFu;
constexpr QRgb kWhite = 0xFFFFFFFFu;
constexpr QRgb kMagenta = 0xFFFF00FFu;

// round(v x 255 / (2^n - 1)), worked out in floating point.
int scaled(uint64_t v, int n) {
    return static_cast<int>(
        std::lround(static_cast<double>(v) * 255.0 / static_cast<double>((uint64_t{1} << n) - 1)));
}

std::expected<QImage, QString> decode(const BmpRecipe& recipe) {
    return decode_bmp(build_bmp(recipe));
}

QString error_of(const BmpRecipe& recipe) {
    const auto image = decode(recipe);
    return image ? QStringLiteral("(decoded)") : image.error();
}

// A 3 x 2 picture of palette indices 0..3 (red, green, blue, white), different in every column.
BmpRecipe four_colour_picture(int header_size) {
    BmpRecipe r;
    r.header_size = header_size;
    r.width = 3;
    r.height = 2;
    r.bits = 8;
    r.palette = {kRed, kGreen, kBlue, kWhite};
    r.sample = [](int x, int y) { return static_cast<uint32_t>((x + 3 * y) % 4); };
    return r;
}

// --- Headers -------------------------------------------------------------------------------

TEST(BmpHeaders, EveryAcceptedHeaderSizeGivesTheSamePicture) {
    for (int size : {12, 16, 20, 24, 36, 40, 52, 56, 60, 64, 108, 124}) {
        const auto image = decode(four_colour_picture(size));
        ASSERT_TRUE(image.has_value()) << size << " " << image.error().toStdString();
        EXPECT_EQ(image->size(), QSize(3, 2)) << size;
        EXPECT_EQ(test::row_of(*image, 0), "RGB") << size;
        EXPECT_EQ(test::row_of(*image, 1), "WRG") << size;

        BmpRecipe rgb;
        rgb.header_size = size;
        rgb.width = 2;
        rgb.sample = [](int x, int) { return x == 0 ? 0x123456u : 0xFEDCBAu; };
        const auto direct = decode(rgb);
        ASSERT_TRUE(direct.has_value()) << size;
        EXPECT_EQ(direct->pixel(0, 0), qRgb(0x12, 0x34, 0x56)) << size;
        EXPECT_EQ(direct->pixel(1, 0), qRgb(0xFE, 0xDC, 0xBA)) << size;
    }
}

TEST(BmpHeaders, UnknownHeaderSizesPlanesAndDepthsAreRefusedByName) {
    for (int size : {8, 13, 65, 100, 128}) {
        EXPECT_EQ(error_of(four_colour_picture(size)), bmp_message::kHeaderSize.arg(size)) << size;
    }
    for (int planes : {0, 2}) {
        BmpRecipe r = four_colour_picture(40);
        r.planes = planes;
        EXPECT_EQ(error_of(r), bmp_message::kPlanes) << planes;
    }
    for (int bits : {0, 3, 12, 64}) {
        BmpRecipe r;
        r.bits = bits;
        r.pixels = QByteArray(64, '\0');
        EXPECT_EQ(error_of(r), bmp_message::kDepth.arg(bits)) << bits;
    }
    BmpRecipe cmyk;
    cmyk.compression = 11;
    cmyk.pixels = QByteArray(4, '\0');
    EXPECT_EQ(error_of(cmyk), bmp_message::kCompression.arg(11));
    EXPECT_EQ(decode_bmp(QByteArray("XM1234567890123456789")).error(), load_message::kCannotDecode);
}

TEST(BmpHeaders, Os2HuffmanAndRle24AreRefusedWhileWindowsReadsTheSameCodesAsOtherThings) {
    BmpRecipe huffman = four_colour_picture(64);
    huffman.bits = 1;
    huffman.compression = 3;
    EXPECT_EQ(error_of(huffman), bmp_message::kHuffman);
    BmpRecipe rle24;
    rle24.header_size = 64;
    rle24.compression = 4;
    rle24.pixels = QByteArray(4, '\0');
    EXPECT_EQ(error_of(rle24), bmp_message::kRle24);

    // In a Windows header, 4 is an embedded JPEG stream, left to the picture loader.
    rle24.header_size = 40;
    EXPECT_EQ(error_of(rle24), bmp_message::kEmbedded);
}

// --- Palettes ------------------------------------------------------------------------------

TEST(BmpPalette, LowDepthsUnpackFromTheHighBitsAtOddWidths) {
    for (int bits : {1, 2, 4, 8}) {
        const int entries = 1 << bits;
        BmpRecipe r;
        r.width = 13;
        r.height = 3;
        r.bits = bits;
        for (int i = 0; i < entries; ++i) r.palette.push_back(qRgb(i, 255 - i, 7));
        r.sample = [entries](int x, int y) { return static_cast<uint32_t>((3 * x + y) % entries); };
        const auto image = decode(r);
        ASSERT_TRUE(image.has_value()) << bits;
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 13; ++x) {
                const int index = (3 * x + y) % entries;
                ASSERT_EQ(image->pixel(x, y), qRgb(index, 255 - index, 7))
                    << bits << " bits at " << x << "," << y;
            }
        }
    }
}

TEST(BmpPalette, ColoursUsedShortensThePaletteAndIndicesBeyondItGiveEntryZero) {
    BmpRecipe r;
    r.width = 5;
    r.bits = 8;
    r.colours_used = 3;
    // Four entries in the file, but only three are the palette.
    r.palette = {kMagenta, kGreen, kBlue, kWhite};
    r.sample = [](int x, int) { return std::array<uint32_t, 5>{0, 1, 2, 3, 255}[x]; };
    const auto image = decode(r);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(test::row_of(*image, 0), "MGBMM");
}

TEST(BmpPalette, Os2CorePaletteShorterThanTheDepthReadsThreeByteEntries) {
    BmpRecipe r;
    r.header_size = 12;
    r.width = 4;
    r.bits = 8;
    r.palette = {kRed, kGreen, kBlue};  // 9 bytes, where 256 entries would be 768
    r.sample = [](int x, int) { return static_cast<uint32_t>(x); };
    const auto image = decode(r);
    ASSERT_TRUE(image.has_value()) << image.error().toStdString();
    EXPECT_EQ(test::row_of(*image, 0), "RGBR");
}

TEST(BmpPalette, AGapBeforeThePixelsIsSkippedAndNoPaletteIsRefused) {
    BmpRecipe r;
    r.width = 3;
    r.bits = 4;
    r.palette = std::vector<QRgb>(16, kBlue);
    r.palette[1] = kRed;
    r.gap = 10;
    r.sample = [](int x, int) { return x == 1 ? 1u : 0u; };
    const auto image = decode(r);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(test::row_of(*image, 0), "BRB");

    r.palette.clear();
    r.gap = 0;
    EXPECT_EQ(error_of(r), bmp_message::kNoPalette);
}

// --- Bit fields ----------------------------------------------------------------------------

TEST(BmpBitFields, SixteenBitsWithoutMasksAre555AndFullChannelsReadFull) {
    BmpRecipe r;
    r.width = 6;
    r.bits = 16;
    r.sample = [](int x, int) {
        return std::array<uint32_t, 6>{0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x8000, 0x4210}[x];
    };
    const auto image = decode(r);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixel(0, 0), kRed);
    EXPECT_EQ(image->pixel(1, 0), kGreen);
    EXPECT_EQ(image->pixel(2, 0), kBlue);
    EXPECT_EQ(image->pixel(3, 0), kWhite);
    EXPECT_EQ(image->pixel(4, 0), qRgb(0, 0, 0));  // the top bit is no channel's
    const int half = scaled(16, 5);
    EXPECT_EQ(image->pixel(5, 0), qRgb(half, half, half));
}

TEST(BmpBitFields, Masks565FromEveryPlaceReadFullWhite) {
    struct Layout {
        int header_size;
        bool palette;
    };
    for (const Layout& layout : {Layout{40, false}, Layout{40, true}, Layout{52, false},
                                 Layout{56, false}, Layout{108, true}, Layout{124, false}}) {
        BmpRecipe r;
        r.header_size = layout.header_size;
        r.width = 4;
        r.bits = 16;
        r.compression = 3;
        r.masks = {0xF800, 0x07E0, 0x001F};
        if (layout.palette) {
            r.palette = {kBlue, kGreen};
            r.colours_used = 2;
        }
        r.sample = [](int x, int) {
            return std::array<uint32_t, 4>{0xFFFF, 0xF800, 0x07E0, 0x0821}[x];
        };
        const auto image = decode(r);
        ASSERT_TRUE(image.has_value()) << layout.header_size;
        EXPECT_EQ(image->pixel(0, 0), kWhite) << layout.header_size;
        EXPECT_EQ(image->pixel(1, 0), kRed) << layout.header_size;
        EXPECT_EQ(image->pixel(2, 0), kGreen) << layout.header_size;
        EXPECT_EQ(image->pixel(3, 0), qRgb(scaled(1, 5), scaled(1, 6), scaled(1, 5)));
    }
}

struct MaskLayout {
    const char* name;
    int bits;
    int header_size;
    uint32_t compression;
    std::vector<uint32_t> masks;  // red, green, blue, alpha
};

TEST(BmpBitFields, OddMasksScaleEveryChannelToTheFullRange) {
    const std::vector<MaskLayout> layouts = {
        {"2-3-1", 16, 40, 3, {0x0030, 0x000E, 0x0001}},
        {"3-10-3", 16, 40, 3, {0xE000, 0x1FF8, 0x0007}},
        {"11-11-10", 32, 40, 3, {0xFFE00000, 0x001FFC00, 0x000003FF}},
        {"10-10-10-2", 32, 124, 3, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000}},
        {"4-4-4-4", 16, 40, 6, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {"1-9-2-4", 16, 108, 3, {0x8000, 0x7FC0, 0x0030, 0x000F}},
        {"32-wide red", 32, 56, 3, {0xFFFFFFFF, 0, 0, 0}},
    };
    for (const MaskLayout& layout : layouts) {
        std::array<BmpChannel, 4> channels{};
        for (size_t c = 0; c < layout.masks.size(); ++c) {
            const uint32_t m = layout.masks[c];
            if (m == 0) continue;
            channels[c].shift = std::countr_zero(m);
            channels[c].bits = std::popcount(m);
            channels[c].max = m >> channels[c].shift;
        }
        // Column k holds, in channel c, the value list[(k + c) % 5] of that channel.
        auto value = [&](int k, size_t c) -> uint32_t {
            const uint32_t max = channels[c].max;
            const std::array<uint32_t, 5> list{0, 1, max / 3, max - 1, max};
            return max == 0 ? 0 : list[static_cast<size_t>(k + static_cast<int>(c)) % 5];
        };
        BmpRecipe r;
        r.header_size = layout.header_size;
        r.width = 5;
        r.bits = layout.bits;
        r.compression = layout.compression;
        r.masks = layout.masks;
        r.sample = [&](int x, int) {
            uint32_t pixel = 0;
            for (size_t c = 0; c < 4; ++c) pixel |= value(x, c) << channels[c].shift;
            return pixel;
        };
        const auto image = decode(r);
        ASSERT_TRUE(image.has_value()) << layout.name << " " << image.error().toStdString();
        const bool alpha = channels[3].bits > 0;
        EXPECT_EQ(image->format(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32)
            << layout.name;
        for (int x = 0; x < 5; ++x) {
            auto expect = [&](size_t c) {
                return channels[c].bits == 0 ? 0 : scaled(value(x, c), channels[c].bits);
            };
            const QRgb p = image->pixel(x, 0);
            EXPECT_EQ(qRed(p), expect(0)) << layout.name << " column " << x;
            EXPECT_EQ(qGreen(p), expect(1)) << layout.name << " column " << x;
            EXPECT_EQ(qBlue(p), expect(2)) << layout.name << " column " << x;
            EXPECT_EQ(qAlpha(p), alpha ? expect(3) : 255) << layout.name << " column " << x;
        }
    }
}

TEST(BmpBitFields, ThirtyTwoBitsWithoutMasksAreOpaqueAndA52ByteHeaderHasNoAlpha) {
    BmpRecipe plain;
    plain.width = 2;
    plain.bits = 32;
    plain.sample = [](int x, int) { return x == 0 ? 0x00FF8040u : 0x80112233u; };
    const auto image = decode(plain);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->format(), QImage::Format_RGB32);
    EXPECT_EQ(image->pixel(0, 0), qRgb(0xFF, 0x80, 0x40));
    EXPECT_EQ(image->pixel(1, 0), qRgb(0x11, 0x22, 0x33));

    // The same with an alpha mask in a V5 header but no bit fields: still opaque.
    plain.header_size = 124;
    plain.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    const auto v5_plain = decode(plain);
    ASSERT_TRUE(v5_plain.has_value());
    EXPECT_EQ(v5_plain->format(), QImage::Format_RGB32);

    plain.compression = 3;
    plain.header_size = 52;
    const auto v2 = decode(plain);
    ASSERT_TRUE(v2.has_value());
    EXPECT_EQ(v2->format(), QImage::Format_RGB32);
    EXPECT_EQ(v2->pixel(1, 0), qRgb(0x11, 0x22, 0x33));

    plain.header_size = 56;
    const auto v3 = decode(plain);
    ASSERT_TRUE(v3.has_value());
    EXPECT_EQ(v3->format(), QImage::Format_ARGB32);
    EXPECT_EQ(v3->pixel(0, 0), qRgba(0xFF, 0x80, 0x40, 0));
    EXPECT_EQ(v3->pixel(1, 0), qRgba(0x11, 0x22, 0x33, 0x80));
}

TEST(BmpBitFields, BrokenMasksAreRefused) {
    BmpRecipe r;
    r.width = 2;
    r.bits = 16;
    r.compression = 3;
    r.pixels = QByteArray(4, '\0');
    for (const auto& masks : std::vector<std::vector<uint32_t>>{
             {0x0F0F, 0x00F0, 0}, {0x1F0000, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x0015}}) {
        r.masks = masks;
        EXPECT_EQ(error_of(r), bmp_message::kBadMasks) << masks[0];
    }
    r.bits = 24;
    r.masks = {0xFF0000, 0xFF00, 0xFF};
    r.pixels = QByteArray(8, '\0');
    EXPECT_EQ(error_of(r), bmp_message::kDepth.arg(24));
}

// --- Run-length codes ----------------------------------------------------------------------

// Palette for the run-length tests: 0 magenta (what skipped pixels get), then R, G, B, W.
BmpRecipe rle(int bits, int width, int height, const QByteArray& codes) {
    BmpRecipe r;
    r.width = width;
    r.height = height;
    r.bits = bits;
    r.compression = bits == 8 ? 1 : 2;
    r.palette = {kMagenta, kRed, kGreen, kBlue, kWhite};
    r.pixels = codes;
    return r;
}

QByteArray codes(std::initializer_list<int> bytes) {
    QByteArray b;
    for (int v : bytes) b.append(static_cast<char>(v));
    return b;
}

TEST(BmpRle, Rle8OddAbsoluteRunsAreWordPadded) {
    // Bottom row: absolute 1 2 3 (one pad byte), a run of two 4s. Top row: absolute 4 3 2 1 3
    // (one pad byte), then the bitmap ends.
    const auto image = decode(rle(8, 5, 2, codes({0, 3, 1, 2, 3, 0, 2, 4, 0, 0,  //
                                                  0, 5, 4, 3, 2, 1, 3, 0, 0, 1})));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(test::row_of(*image, 1), "RGBWW");
    EXPECT_EQ(test::row_of(*image, 0), "WBGRB");
}

TEST(BmpRle, Rle4RunsAlternateNibblesAndOddAbsoluteRunsArePadded) {
    // Bottom row: a run of 3 from 0x12 (1 2 1), absolute 3 nibbles 3 4 1 (two bytes, no pad).
    // Top row: absolute 5 nibbles 4 3 2 1 4 (three bytes, one pad), a run of one 3.
    const auto image = decode(rle(4, 6, 2,
                                  codes({3, 0x12, 0, 3, 0x34, 0x10, 0, 0,  //
                                         0, 5, 0x43, 0x21, 0x40, 0, 1, 0x30, 0, 1})));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(test::row_of(*image, 1), "RGRBWR");
    EXPECT_EQ(test::row_of(*image, 0), "WBGRWB");
}

TEST(BmpRle, DeltasLineEndsAndEarlyEndsLeaveEntryZero) {
    for (int bits : {8, 4}) {
        const int one = bits == 8 ? 1 : 0x11;
        const int two = bits == 8 ? 2 : 0x22;
        // Bottom row: one 1, then an early line end. Row 1: a delta of (3, 0) from its start,
        // one 2. Then a delta up a row and over, one 1, and the bitmap ends with a row untouched.
        const auto image = decode(rle(bits, 5, 4,
                                      codes({1, one, 0, 0,        //
                                             0, 2, 3, 0, 1, two,  //
                                             0, 2, 0, 1, 1, one, 0, 1})));
        ASSERT_TRUE(image.has_value()) << bits;
        EXPECT_EQ(test::row_of(*image, 3), "RMMMM") << bits;
        EXPECT_EQ(test::row_of(*image, 2), "MMMGM") << bits;
        EXPECT_EQ(test::row_of(*image, 1), "MMMMR") << bits;
        EXPECT_EQ(test::row_of(*image, 0), "MMMMM") << bits;
    }
}

TEST(BmpRle, StreamsCutShortAndRunsPastTheEdgeDefineEveryPixel) {
    // Absolute run of 4 with only two of its bytes in the file.
    const auto cut = decode(rle(8, 4, 1, codes({0, 4, 1, 2})));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(test::row_of(*cut, 0), "RGMM");

    // No codes at all.
    const auto nothing = decode(rle(8, 3, 2, codes({0})));
    ASSERT_TRUE(nothing.has_value());
    EXPECT_EQ(test::row_of(*nothing, 0), "MMM");
    EXPECT_EQ(test::row_of(*nothing, 1), "MMM");

    // A run longer than the row is cut at the edge, not carried into the next row; so is a
    // delta that goes past it. A delta above the top ends the picture.
    const auto wide =
        decode(rle(8, 2, 3, codes({4, 1, 0, 0, 1, 2, 0, 2, 9, 0, 1, 3, 0, 0, 0, 2, 0, 5, 1, 4})));
    ASSERT_TRUE(wide.has_value());
    EXPECT_EQ(test::row_of(*wide, 2), "RR");
    EXPECT_EQ(test::row_of(*wide, 1), "GM");
    EXPECT_EQ(test::row_of(*wide, 0), "MM");

    // Indices beyond the palette give entry 0.
    const auto beyond = decode(rle(8, 2, 1, codes({1, 200, 1, 4})));
    ASSERT_TRUE(beyond.has_value());
    EXPECT_EQ(test::row_of(*beyond, 0), "MW");
}

TEST(BmpRle, TopDownAndMismatchedDepthsAreRefused) {
    EXPECT_EQ(error_of(rle(8, 2, -2, codes({2, 1, 0, 1}))), bmp_message::kTopDownRle);
    BmpRecipe wrong = rle(4, 2, 2, codes({2, 1, 0, 1}));
    wrong.compression = 1;
    EXPECT_EQ(error_of(wrong), bmp_message::kBadHeader);
}

// --- Rows ----------------------------------------------------------------------------------

TEST(BmpRows, TopDownAndBottomUpGiveTheSamePicture) {
    for (int height : {3, -3}) {
        BmpRecipe r;
        r.width = 3;  // 9 bytes a row, 3 of padding
        r.height = height;
        r.sample = [](int x, int y) {
            return std::array<uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF}[(x + y) % 3];
        };
        const auto image = decode(r);
        ASSERT_TRUE(image.has_value()) << height;
        EXPECT_EQ(test::row_of(*image, 0), "RGB") << height;
        EXPECT_EQ(test::row_of(*image, 1), "GBR") << height;
        EXPECT_EQ(test::row_of(*image, 2), "BRG") << height;
    }
}

TEST(BmpRows, TheLastRowMayGoWithoutItsPaddingButNotWithoutPixels) {
    BmpRecipe r;
    r.height = 2;
    r.pixels = QByteArray("\xff\x00\x00\x00\x00\x00\xff", 7);
    const auto image = decode(r);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(test::row_of(*image, 0), "R");
    EXPECT_EQ(test::row_of(*image, 1), "B");

    r.pixels.chop(1);
    EXPECT_EQ(error_of(r), bmp_message::kTruncated);
}

// --- Safety --------------------------------------------------------------------------------

TEST(BmpSafety, UncompressedFilesTooShortForTheirRowsAreRefused) {
    for (int bits : {1, 2, 4, 8, 16, 24, 32}) {
        BmpRecipe r;
        r.width = 7;
        r.height = 5;
        r.bits = bits;
        if (bits <= 8) r.palette = {kRed, kGreen};
        r.sample = [](int, int) { return 1u; };
        QByteArray file = build_bmp(r);
        ASSERT_TRUE(decode_bmp(file).has_value()) << bits;
        file.chop(bits <= 8 ? 4 : bits / 8 + 4);  // the whole last row's padding and more
        EXPECT_EQ(decode_bmp(file).error(), bmp_message::kTruncated) << bits;
    }
    const QByteArray whole = build_bmp(four_colour_picture(124));
    for (int length : {2, 10, 17, 60, 14 + 124 + 8}) {
        EXPECT_EQ(decode_bmp(whole.left(length)).error(), bmp_message::kTruncated) << length;
    }
}

TEST(BmpSafety, AbsurdSizesAreRefusedFromTheHeaderAlone) {
    // Four bytes of pixels: a decoder that checked the data before the size would say
    // "truncated", one that allocated first would ask for gigabytes.
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{
             {16385, 1}, {1, 16385}, {9000, 9000}, {1, INT_MIN}, {16384, -16384}}) {
        for (uint32_t compression : {0u, 1u}) {
            BmpRecipe r;
            r.width = w;
            r.height = h;
            r.bits = 8;
            r.compression = compression;
            r.palette = {kRed};
            r.pixels = QByteArray(4, '\0');
            EXPECT_EQ(error_of(r), load_message::kTooLarge) << w << "x" << h;
        }
    }
    BmpRecipe empty;
    empty.width = 0;
    empty.pixels = QByteArray(4, '\0');
    EXPECT_EQ(error_of(empty), load_message::kEmpty);
    empty.width = -3;
    EXPECT_EQ(error_of(empty), bmp_message::kBadHeader);
}

TEST(BmpSafety, PixelOffsetsInsideTheHeadersOrPastTheEndAreRefused) {
    QByteArray file = build_bmp(four_colour_picture(40));
    auto with_offset = [&](uint32_t offset) {
        QByteArray f = file;
        f.replace(10, 4, test::le32(offset));
        return decode_bmp(f);
    };
    EXPECT_EQ(with_offset(20).error(), bmp_message::kBadOffset);
    EXPECT_EQ(with_offset(static_cast<uint32_t>(file.size())).error(), bmp_message::kTruncated);
    EXPECT_EQ(with_offset(0xFFFFFFF0u).error(), bmp_message::kTruncated);
}

// Files of every storage, several of them with pixels that only the rules define.
std::vector<BmpRecipe> marker_cases() {
    std::vector<BmpRecipe> cases;
    cases.push_back(four_colour_picture(12));
    BmpRecipe beyond = four_colour_picture(40);
    beyond.palette.resize(2);
    cases.push_back(beyond);
    cases.push_back(rle(8, 5, 4, codes({1, 1, 0, 2, 2, 1, 0, 3, 1, 2, 3})));
    cases.push_back(rle(4, 7, 3, codes({3, 0x12, 0, 0, 0, 5, 0x43})));
    BmpRecipe alpha;
    alpha.header_size = 124;
    alpha.width = 3;
    alpha.height = -2;
    alpha.bits = 32;
    alpha.compression = 3;
    alpha.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    alpha.sample = [](int x, int y) {
        return static_cast<uint32_t>(x) * 0x40000000u + static_cast<uint32_t>(y);
    };
    cases.push_back(alpha);
    BmpRecipe five;
    five.width = 3;
    five.height = 3;
    five.bits = 16;
    five.sample = [](int x, int y) { return static_cast<uint32_t>(x * 977 + y * 31); };
    cases.push_back(five);
    BmpRecipe bgr;
    bgr.width = 5;
    bgr.height = -2;
    bgr.sample = [](int x, int y) { return static_cast<uint32_t>(x * 0x102030 + y); };
    cases.push_back(bgr);
    return cases;
}

TEST(BmpSafety, EveryPixelIsWrittenWhateverTheTargetHeld) {
    for (const BmpRecipe& recipe : marker_cases()) {
        const QByteArray file = build_bmp(recipe);
        const auto header = read_bmp_header(file);
        ASSERT_TRUE(header.has_value()) << header.error().toStdString();
        const auto format = header->has_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        std::array<QImage, 2> targets;
        const std::array<QRgb, 2> markers{0x00C0FFEEu, 0x13572468u};
        for (size_t i = 0; i < 2; ++i) {
            targets[i] = QImage(header->width, header->height, format);
            targets[i].fill(markers[i]);
            decode_bmp_pixels(file, *header, targets[i]);
        }
        for (int y = 0; y < header->height; ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(targets[0].constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(targets[1].constScanLine(y));
            for (int x = 0; x < header->width; ++x) {
                EXPECT_NE(a[x], markers[0]) << recipe.header_size << " at " << x << "," << y;
                EXPECT_NE(b[x], markers[1]) << recipe.header_size << " at " << x << "," << y;
            }
            EXPECT_EQ(std::memcmp(a, b, static_cast<size_t>(header->width) * 4), 0) << y;
        }
    }
}

// --- Through the picture loader ------------------------------------------------------------

class BmpThroughTheLoader : public ::testing::Test {
  protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::write_file(path, bytes));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(BmpThroughTheLoader, EmbeddedPngAndJpegStreamsGoToTheirOwnDecoders) {
    BmpRecipe png;
    png.bits = 0;
    png.compression = 5;
    png.pixels = test::encoded(test::from_rows({"RGB", "WKB"}), "png");
    const auto from_png = load_picture(write("png.bmp", build_bmp(png)));
    ASSERT_TRUE(from_png.has_value()) << from_png.error().toStdString();
    EXPECT_EQ(test::row_of(*from_png, 0), "RGB");
    EXPECT_EQ(test::row_of(*from_png, 1), "WKB");

    BmpRecipe jpeg = png;
    jpeg.compression = 4;
    jpeg.pixels = test::encoded(test::solid(16, 8, qRgb(0, 0, 255)), "jpg");
    const auto from_jpeg = load_picture(write("jpeg.bmp", build_bmp(jpeg)));
    ASSERT_TRUE(from_jpeg.has_value()) << from_jpeg.error().toStdString();
    EXPECT_EQ(from_jpeg->size(), QSize(16, 8));
    EXPECT_LE(qRed(from_jpeg->pixel(8, 4)), 8);
    EXPECT_GE(qBlue(from_jpeg->pixel(8, 4)), 247);

    // A stream of the wrong kind is not passed to any other decoder.
    jpeg.pixels = png.pixels;
    EXPECT_EQ(load_picture(write("wrong.bmp", build_bmp(jpeg))).error(), bmp_message::kEmbedded);
    png.pixels = QByteArray("\x89PNG\r\n\x1a\n damaged", 16);
    EXPECT_EQ(load_picture(write("bad.bmp", build_bmp(png))).error(), bmp_message::kEmbedded);
}

TEST_F(BmpThroughTheLoader, AlphaFollowsTheRuleForTransparentPngFiles) {
    // Transparent corner (so the picture is keyed), opaque red, half-transparent blue.
    QImage sprite(3, 1, QImage::Format_ARGB32);
    sprite.setPixel(0, 0, qRgba(10, 20, 30, 0));
    sprite.setPixel(1, 0, qRgba(255, 0, 0, 255));
    sprite.setPixel(2, 0, qRgba(0, 0, 255, 128));
    BmpRecipe r;
    r.header_size = 124;
    r.width = 3;
    r.bits = 32;
    r.compression = 3;
    r.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    r.sample = [&](int x, int) { return static_cast<uint32_t>(sprite.pixel(x, 0)); };
    const auto bmp = load_picture(write("sprite.bmp", build_bmp(r)));
    const auto png = load_picture(write("sprite.png", test::encoded(sprite, "png")));
    ASSERT_TRUE(bmp.has_value());
    ASSERT_TRUE(png.has_value());
    EXPECT_EQ(bmp->format(), QImage::Format_RGB32);
    EXPECT_EQ(*bmp, *png);
    EXPECT_EQ(bmp->pixel(1, 0), kRed);
    EXPECT_EQ(bmp->pixel(2, 0), qRgb(127, 127, 255));  // blended over white
}

TEST_F(BmpThroughTheLoader, RefusalsPassOnTheirReasonWithoutFallingBackToAnotherReader) {
    BmpRecipe r = four_colour_picture(40);
    r.pixels = QByteArray(3, '\0');
    EXPECT_EQ(load_picture(write("short.bmp", build_bmp(r))).error(), bmp_message::kTruncated);

    // A top-down RLE file that another reader might take anyway.
    EXPECT_EQ(load_picture(write("td.bmp", build_bmp(rle(8, 2, -1, codes({2, 1, 0, 1}))))).error(),
              bmp_message::kTopDownRle);
}

}  // namespace
}  // namespace koma
