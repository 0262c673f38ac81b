#include "codecs/picture_loader.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include "support/image_files.h"
#include "support/pixels.h"

namespace koma {
namespace {

using test::build_bmp;
using test::le16;
using test::le32;

// A 16 x 8 CMYK JPEG, left half red and right half blue (Qt cannot write CMYK).
const QByteArray kCmykJpeg(
    "\xff\xd8\xff\xee\x00\x0e\x41\x64\x6f\x62\x65\x00\x64\x00\x00\x00\x00\x02\xff\xdb\x00\x43"
    "\x00\x02\x01\x01\x01\x01\x01\x02\x01\x01\x01\x02\x02\x02\x02\x02\x04\x03\x02\x02\x02\x02"
    "\x05\x04\x04\x03\x04\x06\x05\x06\x06\x06\x05\x06\x06\x06\x07\x09\x08\x06\x07\x09\x07\x06"
    "\x06\x08\x0b\x08\x09\x0a\x0a\x0a\x0a\x0a\x06\x08\x0b\x0c\x0b\x0a\x0c\x09\x0a\x0a\x0a\xff"
    "\xdb\x00\x43\x01\x02\x02\x02\x02\x02\x02\x05\x03\x03\x05\x0a\x07\x06\x07\x0a\x0a\x0a\x0a"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a"
    "\x0a\x0a\xff\xc0\x00\x14\x08\x00\x08\x00\x10\x04\x01\x11\x00\x02\x11\x01\x03\x11\x01\x04"
    "\x11\x00\xff\xc4\x00\x16\x00\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x08\x00\x09\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\xff\xc4\x00\x15\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x0a\x08\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\xff\xda\x00\x0e\x04\x01\x00\x02\x11\x03\x11\x04\x00\x00\x3f\x00\x66"
    "\x2a\xc1\xff\x00\x6f\xe1\x78\x2a\x64\xa8\x9f\xff\xd9",
    299);

bool near(QRgb a, QRgb b, int tolerance = 10) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// 16 x 8, left half red, right half blue.
QImage halves() {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 8; x < 16; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

QByteArray jpeg_of(const QImage& image, bool progressive) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

QByteArray be16(uint16_t v) {
    QByteArray b(2, '\0');
    b[0] = static_cast<char>(v >> 8);
    b[1] = static_cast<char>(v & 0xFF);
    return b;
}

// The JPEG with an EXIF segment holding only the orientation tag.
QByteArray with_orientation(const QByteArray& jpeg, uint16_t orientation) {
    QByteArray tiff("MM\0\x2a", 4);
    tiff += test::be32(8) + be16(1);
    tiff += be16(0x0112) + be16(3) + test::be32(1) + be16(orientation) + be16(0);
    tiff += test::be32(0);
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const QByteArray app1 =
        QByteArray("\xff\xe1", 2) + be16(static_cast<uint16_t>(payload.size() + 2)) + payload;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

class PictureLoader : public ::testing::Test {
  protected:
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(test::write_file(path, bytes));
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(PictureLoader, BmpVariants) {
    // Palette (BGR0 entries): 0 red, 1 green, 2 blue.
    const QByteArray rgb_palette = QByteArray("\x00\x00\xff\x00", 4) +
                                   QByteArray("\x00\xff\x00\x00", 4) +
                                   QByteArray("\xff\x00\x00\x00", 4);

    // RLE8: bottom row a run of 4 reds, top row absolute green, blue, green, blue.
    const QByteArray rle8("\x04\x00\x00\x00\x00\x04\x01\x02\x01\x02\x00\x01", 12);
    const auto rle8_image =
        load_picture(write("rle8.bmp", build_bmp(4, 2, 8, 1, rgb_palette, rle8, 3)));
    ASSERT_TRUE(rle8_image.has_value()) << rle8_image.error().toStdString();
    EXPECT_EQ(test::row_of(*rle8_image, 0), "GBGB");
    EXPECT_EQ(test::row_of(*rle8_image, 1), "RRRR");

    // RLE4: bottom row alternating green and blue from one run, top row 4 reds.
    const QByteArray rle4("\x04\x12\x00\x00\x04\x00\x00\x01", 8);
    const auto rle4_image =
        load_picture(write("rle4.bmp", build_bmp(4, 2, 4, 2, rgb_palette, rle4, 3)));
    ASSERT_TRUE(rle4_image.has_value());
    EXPECT_EQ(test::row_of(*rle4_image, 0), "RRRR");
    EXPECT_EQ(test::row_of(*rle4_image, 1), "GBGB");

    // 16-bit 5-6-5 bit fields.
    const QByteArray masks565 = le32(0xF800) + le32(0x07E0) + le32(0x001F);
    const QByteArray px565 = le16(0xF800) + le16(0x07E0) + le16(0x001F) + le16(0xFFFF);
    const auto b565 = load_picture(write("565.bmp", build_bmp(2, 2, 16, 3, masks565, px565)));
    ASSERT_TRUE(b565.has_value());
    // 5- and 6-bit fields are scaled to the full range: a full channel reads 0xFF, not 0xF8.
    EXPECT_EQ(b565->pixel(0, 0), qRgb(0, 0, 0xFF));
    EXPECT_EQ(b565->pixel(1, 0), qRgb(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(b565->pixel(0, 1), qRgb(0xFF, 0, 0));
    EXPECT_EQ(b565->pixel(1, 1), qRgb(0, 0xFF, 0));

    // 32-bit bit fields.
    const QByteArray masks32 = le32(0x00FF0000) + le32(0x0000FF00) + le32(0x000000FF);
    const auto b32 = load_picture(
        write("32.bmp", build_bmp(2, 1, 32, 3, masks32, le32(0x00123456) + le32(0x00ABCDEF))));
    ASSERT_TRUE(b32.has_value());
    EXPECT_EQ(b32->pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(b32->pixel(1, 0), qRgb(0xAB, 0xCD, 0xEF));

    // Top-down 24-bit: a negative height puts the first row at the top.
    const QByteArray rows("\xff\x00\x00\x00\x00\x00\xff\x00", 8);
    const auto top_down = load_picture(write("td.bmp", build_bmp(1, -2, 24, 0, {}, rows)));
    ASSERT_TRUE(top_down.has_value());
    EXPECT_EQ(top_down->size(), QSize(1, 2));
    EXPECT_EQ(test::row_of(*top_down, 0), "B");
    EXPECT_EQ(test::row_of(*top_down, 1), "R");
}

TEST_F(PictureLoader, JpegVariants) {
    for (bool progressive : {false, true}) {
        const auto image = load_picture(write("c.jpg", jpeg_of(halves(), progressive)));
        ASSERT_TRUE(image.has_value());
        EXPECT_EQ(image->format(), QImage::Format_RGB32);
        EXPECT_EQ(image->size(), QSize(16, 8));
        EXPECT_TRUE(near(image->pixel(3, 4), qRgb(255, 0, 0))) << progressive;
        EXPECT_TRUE(near(image->pixel(12, 4), qRgb(0, 0, 255))) << progressive;
    }

    QImage grey(16, 8, QImage::Format_Grayscale8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) grey.scanLine(y)[x] = x < 8 ? 40 : 200;
    const auto grey_image = load_picture(write("g.jpg", jpeg_of(grey, false)));
    ASSERT_TRUE(grey_image.has_value());
    EXPECT_TRUE(near(grey_image->pixel(3, 4), qRgb(40, 40, 40), 4));
    EXPECT_TRUE(near(grey_image->pixel(12, 4), qRgb(200, 200, 200), 4));

    const auto cmyk = load_picture(write("k.jpg", kCmykJpeg));
    ASSERT_TRUE(cmyk.has_value());
    EXPECT_TRUE(near(cmyk->pixel(3, 4), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(cmyk->pixel(12, 4), qRgb(0, 0, 255)));
}

TEST_F(PictureLoader, ExifOrientationBringsPhotosUpright) {
    // Orientation 6: the camera was turned a quarter to the right; the stored left edge is the
    // picture's top.
    const auto turned =
        load_picture(write("o6.jpg", with_orientation(jpeg_of(halves(), false), 6)));
    ASSERT_TRUE(turned.has_value());
    EXPECT_EQ(turned->size(), QSize(8, 16));
    EXPECT_TRUE(near(turned->pixel(4, 3), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(turned->pixel(4, 12), qRgb(0, 0, 255)));

    // Orientation 3: upside down, so the halves swap sides.
    const auto flipped =
        load_picture(write("o3.jpg", with_orientation(jpeg_of(halves(), false), 3)));
    ASSERT_TRUE(flipped.has_value());
    EXPECT_EQ(flipped->size(), QSize(16, 8));
    EXPECT_TRUE(near(flipped->pixel(3, 4), qRgb(0, 0, 255)));
}

TEST_F(PictureLoader, FilesAreKnownByContentNotByName) {
    const QByteArray bmp = build_bmp(1, 1, 24, 0, {}, QByteArray("\x00\xff\x00\x00", 4));
    const auto bmp_as_png = load_picture(write("green.png", bmp));
    ASSERT_TRUE(bmp_as_png.has_value());
    EXPECT_EQ(bmp_as_png->pixel(0, 0), qRgb(0, 255, 0));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(test::from_rows({"RB"}).save(&buffer, "png"));
    const auto png_as_bmp = load_picture(write("rb.bmp", png));
    ASSERT_TRUE(png_as_bmp.has_value());
    EXPECT_EQ(test::row_of(*png_as_bmp, 0), "RB");
}

TEST_F(PictureLoader, TransparencyIsFlattenedAsForThePngLoader) {
    QImage sprite(3, 1, QImage::Format_ARGB32);
    sprite.fill(qRgba(0, 0, 0, 0));
    sprite.setPixel(1, 0, qRgba(255, 255, 255, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(sprite.save(&buffer, "png"));
    const auto image = load_picture(write("sprite.png", png));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_NE(image->pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image->pixel(2, 0), image->pixel(0, 0));
}

TEST_F(PictureLoader, RefusalsSayWhy) {
    const auto missing = load_picture(dir.filePath("missing.bmp"));
    ASSERT_FALSE(missing.has_value());
    EXPECT_FALSE(missing.error().isEmpty());

    EXPECT_FALSE(load_picture(write("junk.bmp", QByteArray("not a picture at all"))).has_value());
    EXPECT_FALSE(load_picture(write("empty.jpg", QByteArray())).has_value());
    EXPECT_FALSE(load_picture(write("zero.bmp", build_bmp(0, 1, 24, 0, {}, QByteArray(4, '\0'))))
                     .has_value());

    // Headers that ask for more than the limits: refused from the header alone (the data is
    // four bytes, so a reader that allocated first would fail differently or not at all).
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{16385, 1}, {9000, 9000}}) {
        const auto huge =
            load_picture(write("huge.bmp", build_bmp(w, h, 24, 0, {}, QByteArray(4, '\0'))));
        ASSERT_FALSE(huge.has_value()) << w;
        EXPECT_TRUE(huge.error().contains(QStringLiteral("16384"))) << huge.error().toStdString();
    }
}

TEST_F(PictureLoader, AJpegCutShortIsRefusedAsACutPngIs) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(halves().save(&buffer, "png"));
    const auto cut_png = load_picture(write("cut.png", png.left(png.size() - 20)));
    ASSERT_FALSE(cut_png.has_value());

    const QByteArray jpeg = jpeg_of(halves(), false);
    const qsizetype sos = jpeg.indexOf("\xff\xda");
    ASSERT_GT(sos, 0);
    // Headers alone with the end marker: libjpeg makes a grey picture of them.
    const QByteArray no_scan = jpeg.left(sos) + QByteArray("\xff\xd9", 2);
    for (const QByteArray& damaged :
         {jpeg.left(jpeg.size() - 2), jpeg.left(sos + (jpeg.size() - sos) / 2), no_scan,
          jpeg.left(sos + 5)}) {
        const auto refused = load_picture(write("cut.jpg", damaged));
        ASSERT_FALSE(refused.has_value()) << damaged.size();
        EXPECT_EQ(refused.error(), cut_png.error());
    }
    // Bytes after the end marker are no harm, nor is a progressive file's several scans.
    EXPECT_TRUE(load_picture(write("tail.jpg", jpeg + QByteArray(5, '\0'))).has_value());
    EXPECT_TRUE(load_picture(write("p.jpg", jpeg_of(halves(), true))).has_value());
}

TEST_F(PictureLoader, OtherFormatsAreRefusedWhateverTheirName) {
    const QByteArray gif(
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00\x21\xf9\x04\x01\x00\x00\x00"
        "\x00\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b",
        43);
    const auto as_jpg = load_picture(write("photo.jpg", gif));
    ASSERT_FALSE(as_jpg.has_value());
    EXPECT_TRUE(as_jpg.error().contains(QStringLiteral("GIF"))) << as_jpg.error().toStdString();

    QByteArray ppm;
    QBuffer buffer(&ppm);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(halves().save(&buffer, "ppm"));
    const auto ppm_as_png = load_picture(write("photo.png", ppm));
    ASSERT_FALSE(ppm_as_png.has_value());
    EXPECT_TRUE(ppm_as_png.error().contains(QStringLiteral("PPM")));

    const auto xpm = load_picture(write("x.bmp", "/* XPM */\nstatic char* x[] = {\"1 1 1 1\"};"));
    ASSERT_FALSE(xpm.has_value());
    EXPECT_TRUE(xpm.error().contains(QStringLiteral("XPM")));
}

}  // namespace
}  // namespace koma
