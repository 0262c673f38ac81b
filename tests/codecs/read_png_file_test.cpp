#include "codecs/png/read_png_file.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include "raster/twips.h"
#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

// Puts the 32-bit width and height into a PNG's header, with a matching CRC.
QByteArray with_header_size(QByteArray png, uint32_t width, uint32_t height) {
    png.replace(16, 8, test::be32(width) + test::be32(height));
    png.replace(29, 4, test::be32(test::crc32_of(png.mid(12, 17))));
    return png;
}

class ReadPngFileTest : public ::testing::Test {
  protected:
    void SetUp() override { slot.resize_pixels(5, 4, qRgb(0, 0, 255)); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::write_file(path, bytes));
        return path;
    }
    void expect_untouched() {
        EXPECT_EQ(slot.width_twips(), 75);
        EXPECT_EQ(slot.height_twips(), 60);
        EXPECT_EQ(slot.image(), test::solid(5, 4, qRgb(0, 0, 255)));
    }
    QTemporaryDir dir;
    Surface slot;
};

TEST_F(ReadPngFileTest, SizesTheSurfaceFromTheHeaderAndPaintsTheImage) {
    QImage picture = test::solid(300, 200, qRgb(0, 255, 0));
    picture.setPixel(299, 199, qRgb(255, 0, 0));
    ASSERT_TRUE(ReadPNGFile(slot, write("big.png", test::encoded(picture, "png"))));
    EXPECT_EQ(slot.width_twips(), 4500);
    EXPECT_EQ(slot.height_twips(), 3000);
    EXPECT_EQ(slot.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(slot.pixel(299, 199), qRgb(255, 0, 0));
}

TEST_F(ReadPngFileTest, ADoubledSeparatorStillOpens) {
    write("a.png", test::encoded(test::from_rows({"RG"}), "png"));
    ASSERT_TRUE(ReadPNGFile(slot, dir.path() + "//a.png"));
    EXPECT_EQ(test::row_of(slot.image(), 0), "RG");
}

TEST_F(ReadPngFileTest, NotAPngLeavesTheSurfaceAlone) {
    QString why;
    const QByteArray bmp = test::build_bmp(1, 1, 24, 0, {}, QByteArray(4, '\0'));
    EXPECT_FALSE(ReadPNGFile(slot, write("bmp.png", bmp), why));
    EXPECT_FALSE(why.isEmpty());
    expect_untouched();
    EXPECT_FALSE(ReadPNGFile(slot, write("short.png", QByteArray("\x89PNG", 4))));
    expect_untouched();
    EXPECT_FALSE(ReadPNGFile(slot, dir.filePath("missing.png"), why));
    EXPECT_FALSE(why.isEmpty());
    expect_untouched();
}

TEST_F(ReadPngFileTest, SignatureWithBadContentFailsWithoutAHalfChangedSlot) {
    const QByteArray good = test::encoded(test::from_rows({"RGB", "KWY"}), "png");
    // The signature and a plausible size, then nothing usable.
    QByteArray no_ihdr = good.left(24);
    no_ihdr.replace(12, 4, "JUNK");
    QByteArray bad_crc = good;
    bad_crc[bad_crc.size() - 16] = static_cast<char>(bad_crc[bad_crc.size() - 16] ^ 1);
    for (const QByteArray& bytes : {no_ihdr, bad_crc, good.left(good.size() - 20),
                                    good.left(20) /* ends before the height */}) {
        QString why;
        EXPECT_FALSE(ReadPNGFile(slot, write("bad.png", bytes), why));
        EXPECT_FALSE(why.isEmpty());
        expect_untouched();
    }
}

TEST_F(ReadPngFileTest, OnlyTheLowHalvesOfTheSizeAreReadAndBigSizesAreRefused) {
    const QByteArray good = test::encoded(test::from_rows({"RG"}), "png");
    // 65536 reads as 0 and 65537 as 1; the decoder, which sees the whole size, refuses both.
    for (uint32_t width : {65536u, 65537u, 16385u, 40000u}) {
        QString why;
        EXPECT_FALSE(ReadPNGFile(slot, write("wide.png", with_header_size(good, width, 1)), why))
            << width;
        expect_untouched();
    }
    EXPECT_FALSE(ReadPNGFile(slot, write("sq.png", with_header_size(good, 9000, 9000))));
    expect_untouched();
}

}  // namespace
}  // namespace koma
