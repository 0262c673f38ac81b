#include "raster/masked_blit.h"

#include <gtest/gtest.h>

#include "support/pixels.h"

namespace koma {
namespace {

using test::from_rows;
using test::row_of;

TEST(MaskedBlit, KeyColourLeavesDestinationAndEveryOtherPixelIsCopied) {
    QImage dest = from_rows({"WWWW", "WWWW"});
    const QImage src = from_rows({"MRM", "GMB"});
    EXPECT_TRUE(MaskedBlit(dest, 1, 0, 3, 2, src, 0, 0, src.pixel(0, 0)));
    EXPECT_EQ(row_of(dest, 0), "WWRW");
    EXPECT_EQ(row_of(dest, 1), "WGWB");
}

TEST(MaskedBlit, ComparesAllBitsOfTheStoredColour) {
    QImage dest = test::solid(3, 1, 0xFF000000u);
    QImage src(3, 1, QImage::Format_RGB32);
    src.setPixel(0, 0, 0xFF102030u);
    src.setPixel(1, 0, 0xFF102031u);  // lowest bit of blue differs
    src.setPixel(2, 0, 0xFF112030u);  // lowest bit of red differs
    MaskedBlit(dest, 0, 0, 3, 1, src, 0, 0, 0xFF102030u);
    EXPECT_EQ(dest.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(dest.pixel(1, 0), 0xFF102031u);
    EXPECT_EQ(dest.pixel(2, 0), 0xFF112030u);
}

TEST(MaskedBlit, SourceOffsetAndClippingAtEveryEdge) {
    const QImage src = from_rows({"RGBY", "CKRG"});
    QImage dest = from_rows({"WWW", "WWW"});
    // Starts left of and above the destination: only the overlap is drawn.
    MaskedBlit(dest, -1, -1, 4, 2, src, 0, 0, 0xFF123456u);
    EXPECT_EQ(row_of(dest, 0), "KRG");
    EXPECT_EQ(row_of(dest, 1), "WWW");

    dest = from_rows({"WWW", "WWW"});
    // Source offset, and a rectangle running past the right and bottom edges.
    MaskedBlit(dest, 1, 1, 5, 5, src, 2, 0, 0xFF123456u);
    EXPECT_EQ(row_of(dest, 0), "WWW");
    EXPECT_EQ(row_of(dest, 1), "WBY");

    dest = from_rows({"WWW"});
    MaskedBlit(dest, 1, 0, 3, 1, src, 3, 0, 0xFF123456u);  // source runs out after one column
    EXPECT_EQ(row_of(dest, 0), "WYW");
}

TEST(MaskedBlit, EmptyAndOversizedRectanglesDrawNothing) {
    QImage dest = from_rows({"WW"});
    const QImage src = from_rows({"RR"});
    EXPECT_TRUE(MaskedBlit(dest, 0, 0, 0, 1, src, 0, 0, 0));
    EXPECT_TRUE(MaskedBlit(dest, 0, 0, -3, 1, src, 0, 0, 0));
    EXPECT_TRUE(MaskedBlit(dest, 5, 0, 2, 1, src, 0, 0, 0));
    // width x height x 3 beyond the 32-bit range is refused before anything is drawn.
    EXPECT_FALSE(MaskedBlit(dest, 0, 0, 40000, 40000, src, 0, 0, 0));
    EXPECT_EQ(row_of(dest, 0), "WW");
}

TEST(PlainBlit, WholeRowsOfEqualWidthImagesAreCopiedAsOneBlock) {
    const QImage src = from_rows({"RGB", "CMY", "KKK"});
    QImage dest = from_rows({"WWW", "WWW", "WWW"});
    PlainBlit(dest, 0, 1, 3, 5, src, 0, 0);  // rows 0 and 1 of the source land on rows 1 and 2
    EXPECT_EQ(row_of(dest, 0), "WWW");
    EXPECT_EQ(row_of(dest, 1), "RGB");
    EXPECT_EQ(row_of(dest, 2), "CMY");
    dest = from_rows({"WWW", "WWW"});
    PlainBlit(dest, 0, 0, 3, 2, src, 0, 1);
    EXPECT_EQ(row_of(dest, 0), "CMY");
    EXPECT_EQ(row_of(dest, 1), "KKK");
}

TEST(PlainBlit, CopiesEvenTheKeyColourAndClips) {
    QImage dest = from_rows({"WWW"});
    const QImage src = from_rows({"MRG"});
    PlainBlit(dest, 1, 0, 3, 1, src, 0, 0);
    EXPECT_EQ(row_of(dest, 0), "WMR");
}

}  // namespace
}  // namespace koma

namespace koma {
namespace {

TEST(MaskedBlit, EveryRowCopyVariantGivesTheSamePixels) {
    // Rows of odd lengths so the vector loops' tails are exercised too; a key that appears in
    // runs and alone, and colours one bit away from it.
    const QRgb key = 0xFF102030u;
    std::vector<QRgb> src(67), dest(67);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = (i % 3 == 0 || (i > 20 && i < 40)) ? key : key ^ (1u << (i % 24));
        dest[i] = 0xFF000000u | static_cast<QRgb>(i * 977);
    }
    std::vector<QRgb> expected = dest;
    for (size_t i = 0; i < src.size(); ++i) {
        if (src[i] != key) expected[i] = src[i];
    }
    for (const auto& [name, row] : keyed_row_variants()) {
        for (int n : {0, 1, 7, 16, 33, 67}) {
            std::vector<QRgb> out = dest;
            row(src.data(), out.data(), n, key);
            for (int i = 0; i < 67; ++i) {
                ASSERT_EQ(out[i], i < n ? expected[i] : dest[i])
                    << name << " n=" << n << " i=" << i;
            }
        }
    }
}

}  // namespace
}  // namespace koma
