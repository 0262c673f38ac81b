#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRgb>
#include <QString>
#include <array>
#include <cstdint>
#include <expected>
#include <vector>

#include "platform/translatable_text.h"

namespace koma {

/// How the pixels of a BMP file are stored.
enum class BmpStorage {
    kIndexed,    ///< 1, 2, 4 or 8 bits per pixel, indices into the palette
    kRle8,       ///< 8-bit run-length codes
    kRle4,       ///< 4-bit run-length codes
    kBitFields,  ///< 16 or 32 bits per pixel, channels cut out by masks
    kBgr24,      ///< 24 bits per pixel, blue, green, red
    kPng,        ///< a whole PNG stream at the pixel offset
    kJpeg,       ///< a whole JPEG stream at the pixel offset
};

/// One channel mask of a bit-field BMP, already checked to be contiguous.
struct BmpChannel {
    int shift = 0;     ///< position of the lowest bit of the mask
    int bits = 0;      ///< width of the mask; 0 for an empty mask
    uint32_t max = 0;  ///< 2^bits - 1
};

/// The checked headers of a BMP file: everything decode_bmp_pixels needs.
struct BmpHeader {
    int width = 0;
    int height = 0;         ///< always positive
    bool top_down = false;  ///< the first stored row is the top row
    int bits = 0;           ///< bits per pixel
    BmpStorage storage = BmpStorage::kIndexed;
    std::vector<QRgb> palette;             ///< the entries the file holds (opaque), at most 2^bits
    std::array<BmpChannel, 4> channels{};  ///< red, green, blue, alpha (bit fields only)
    bool has_alpha = false;                ///< an alpha mask is given
    int64_t pixel_offset = 0;              ///< where the pixel data starts in the file
    int64_t pixel_size = 0;  ///< bytes of pixel data (for an embedded stream, its length)
    int64_t row_stride = 0;  ///< bytes per stored row (uncompressed storage)
};

/// Whether `head` starts with the BMP signature "BM".
bool has_bmp_signature(QByteArrayView head);

/// Reads and checks the headers of the BMP file `file`, before any pixel memory is allocated.
///
/// Accepted: info headers of 12 bytes (3-byte palette entries), 16 to 64 bytes, 40, 52, 56, 108
/// and 124 bytes with one plane; 1, 2, 4, 8 bits with a palette (its length from the colours-used
/// field or 2^bits, cut to what the file holds before the pixel offset), 16, 24 and 32 bits;
/// uncompressed, RLE8, RLE4, bit fields (contiguous masks, three or four after a 40-byte
/// header) and embedded PNG or JPEG streams. Top-down rows are accepted except for RLE.
///
/// Fails with the user's words for why: an unknown header or compression, a size beyond
/// image_size_allowed (load_message::kTooLarge), an empty size (load_message::kEmpty), a palette
/// image without palette, or an uncompressed file too short for its rows.
std::expected<BmpHeader, QString> read_bmp_header(QByteArrayView file);

/// Decodes the pixels of `file`, whose checked headers are `header`, into `target`: an image of
/// header.width x header.height, Format_ARGB32 when header.has_alpha, otherwise Format_RGB32.
/// Every pixel of `target` is written, whatever it held before: palette indices beyond the
/// palette give entry 0, as do pixels that run-length codes skip or never reach; opaque
/// pixels get alpha 255. Alpha is not premultiplied. Embedded streams are not decoded here
/// (header.storage kPng and kJpeg must not be passed).
void decode_bmp_pixels(QByteArrayView file, const BmpHeader& header, QImage& target);

/// The whole BMP file `file` decoded as decode_bmp_pixels does, into a new image. Files that
/// hold an embedded PNG or JPEG stream are refused here; the picture loader sends those to
/// their own decoders.
std::expected<QImage, QString> decode_bmp(QByteArrayView file);

/// Why a BMP file was not decoded, in the words the program shows the user.
namespace bmp_message {
inline constexpr TranslatableText kTruncated{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP ファイルが途中で切れています")};
inline constexpr TranslatableText kBadHeader{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP のヘッダーが壊れています")};
inline constexpr TranslatableText kHeaderSize{
    "BmpDecoder",
    QT_TRANSLATE_NOOP("BmpDecoder", "この種類の BMP ヘッダー（%1 バイト）には対応していません")};
inline constexpr TranslatableText kPlanes{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP のプレーン数が 1 ではありません")};
inline constexpr TranslatableText kDepth{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "%1 ビットの BMP には対応していません")};
inline constexpr TranslatableText kCompression{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP の圧縮形式（%1）には対応していません")};
inline constexpr TranslatableText kHuffman{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "ハフマン圧縮の BMP には対応していません")};
inline constexpr TranslatableText kRle24{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "RLE24 圧縮の BMP には対応していません")};
inline constexpr TranslatableText kTopDownRle{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "上から下へ並んだ RLE 圧縮の BMP は読めません")};
inline constexpr TranslatableText kBadMasks{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP のビットフィールドが壊れています")};
inline constexpr TranslatableText kNoPalette{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP にパレットがありません")};
inline constexpr TranslatableText kBadOffset{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP の画素データの位置が壊れています")};
inline constexpr TranslatableText kEmbedded{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "BMP に埋め込まれた画像が読み取れません")};
inline constexpr TranslatableText kNoMemory{
    "BmpDecoder", QT_TRANSLATE_NOOP("BmpDecoder", "画像を読み込むメモリが足りません")};
}  // namespace bmp_message

}  // namespace koma
