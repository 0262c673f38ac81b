#pragma once

#include <QByteArray>
#include <QImage>
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

/// Writes `bytes` to `path`; false when it cannot.
bool write_file(const QString& path, const QByteArray& bytes);

/// Big-endian and little-endian integers as bytes.
QByteArray be32(uint32_t v);
QByteArray le32(uint32_t v);
QByteArray le16(uint16_t v);

}  // namespace koma::test
