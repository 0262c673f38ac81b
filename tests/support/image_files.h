#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace koma::test {

/// The CRC-32 of PNG chunks (over type and data).
uint32_t crc32_of(const QByteArray& bytes);

/// A PNG chunk: length, type, data and CRC.
QByteArray png_chunk(const char* type, const QByteArray& data);

/// The samples of one pixel, as many as the colour type has channels (grey; RGB; index;
/// grey + alpha; RGBA), each within the bit depth.
using Samples = std::vector<uint16_t>;

/// Everything a hand-built PNG needs. `sample` gives the samples of pixel (x, y).
struct PngRecipe {
    int width = 1;
    int height = 1;
    int bit_depth = 8;
    int colour_type = 2;
    bool interlaced = false;
    QByteArray plte;  ///< PLTE data (3 bytes per entry), empty for none
    QByteArray trns;  ///< tRNS data, empty for none
    std::function<Samples(int x, int y)> sample;
};

/// PNG file bytes for `recipe`: signature, IHDR, PLTE and tRNS when given, one IDAT (Adam7 when
/// interlaced, filter type 0 on every row) and IEND.
QByteArray build_png(const PngRecipe& recipe);

/// The bytes of `image` written by Qt in `format` ("png", "bmp", "jpg").
QByteArray encoded(const QImage& image, const char* format);

/// A BMP file: BITMAPFILEHEADER + BITMAPINFOHEADER (40 bytes) + `extra` (masks or palette,
/// placed right after the info header) + `pixels` at the offset that follows.
QByteArray build_bmp(int width, int height, int bits, int compression, const QByteArray& extra,
                     const QByteArray& pixels, int colours_used = 0);

/// Everything a hand-built BMP file needs, for every header size, depth, compression and mask
/// layout. Either `pixels` holds the pixel data as stored (run-length codes, an embedded stream,
/// a cut-off file), or, when it is empty, `sample` gives the stored value of pixel (x, y), with
/// y = 0 the top row: a palette index, a 16- or 32-bit word or 0xRRGGBB for 24 bits; rows are
/// then packed at `bits`, padded to 4 bytes and stored bottom-up (top-down for a negative
/// height).
struct BmpRecipe {
    int header_size = 40;  ///< 12 (OS/2 1.x), 16 to 64 (OS/2 2.x), 40, 52, 56, 108, 124
    int width = 1;
    int height = 1;  ///< negative for top-down rows
    int planes = 1;
    int bits = 24;
    uint32_t compression = 0;
    uint32_t colours_used = 0;
    /// Channel masks red, green, blue (and alpha): after a 40-byte header as many as given, in
    /// a 52-byte header the first three, in 56 bytes and more all four. Ignored for OS/2.
    std::vector<uint32_t> masks;
    std::vector<QRgb> palette;  ///< written as 3-byte entries for a 12-byte header, else 4
    int gap = 0;                ///< zero bytes between the palette and the pixels
    std::function<uint32_t(int x, int y)> sample;
    QByteArray pixels;
};

/// BMP file bytes for `recipe`: file header (its pixel offset right after palette and gap),
/// info header cut to `header_size`, masks, palette, pixels.
QByteArray build_bmp(const BmpRecipe& recipe);

/// Writes `bytes` to `path`; false when it cannot.
bool write_file(const QString& path, const QByteArray& bytes);

/// Big-endian and little-endian integers as bytes.
QByteArray be32(uint32_t v);
QByteArray le32(uint32_t v);
QByteArray le16(uint16_t v);

}  // namespace koma::test
