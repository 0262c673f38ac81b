#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>
#include <expected>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

namespace koma {

/// How the pixels of one or more PNG images are stored, chosen so that every pixel is kept
/// exactly. Pixels are 32-bit ARGB values as RGB32 and ARGB32 images store them (RGB32 has
/// alpha 0xFF); alpha is only ever 0 or 255.
struct PngLayout {
    enum class Kind {
        Palette,  ///< one index per pixel into `palette` (with tRNS when some entry is clear)
        Rgb,      ///< three bytes per pixel; clear pixels only with `rgb_key`
        Rgba,     ///< four bytes per pixel
    };
    Kind kind = Kind::Rgb;
    /// Palette: the colours, clear ones first, at most 256.
    std::vector<QRgb> palette;
    /// Palette: bits per index (1, 2, 4 or 8).
    int bit_depth = 8;
    /// Palette: colour -> index.
    std::unordered_map<QRgb, uint8_t> index;
    /// Rgb: when set, a colour that no pixel has, stored for clear pixels and marked clear
    /// (tRNS), so that RGB images can still be blended.
    std::optional<QRgb> rgb_key;

    /// Whether a pixel can be left clear (alpha 0), which blending needs.
    bool has_clear() const;
};

/// Counts the distinct pixel values of image areas, up to a limit.
class ColourCensus {
  public:
    /// Adds the pixels of `area` of `image` (RGB32 or ARGB32).
    void add(const QImage& image, const QRect& area);
    /// Adds one pixel value.
    void add(QRgb value);
    /// True once more than 256 distinct values were seen; then nothing more is counted.
    bool overflowed() const { return overflowed_; }
    /// True when some pixel seen is clear (alpha 0).
    bool any_clear() const { return any_clear_; }
    /// The values seen (meaningful while not overflowed).
    const std::vector<QRgb>& values() const { return values_; }

  private:
    std::unordered_map<QRgb, int> seen_;
    std::vector<QRgb> values_;
    bool overflowed_ = false;
    bool any_clear_ = false;
};

/// The smallest layout for what `census` saw: a palette of its colours when there are at most
/// 256 (with one more, clear entry when `want_clear` asks for it and there is room), else RGBA
/// when some pixel is clear or `want_clear` is set, else RGB.
PngLayout choose_png_layout(const ColourCensus& census, bool want_clear);

/// A colour (alpha 0xFF) that no pixel of `areas[i]` of `images[i]` has, or none when all 2^24
/// colours are used.
std::optional<QRgb> unused_colour(std::span<const QImage> images, std::span<const QRect> areas);

/// How libpng and zlib code the rows: which row filters libpng may choose from, and zlib's
/// strategy (Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE ...).
struct PngCoding {
    int filters = 0;    ///< PNG_FILTER_* bits; 0: none for palettes, all for colour rows
    int strategy = -1;  ///< -1: libpng's choice
};

/// The codings worth trying for a layout, the usual best first.
std::vector<PngCoding> png_codings(const PngLayout& layout);

/// A whole PNG file holding `area` of `image` (RGB32 or ARGB32) in `layout`, coded by libpng at
/// the highest zlib level with `coding`. Every pixel of the area must be in the layout (a palette
/// holds it, or RGB has no clear pixel unless it has a key). Fails with libpng's message.
std::expected<QByteArray, QString> encode_png(const QImage& image, const QRect& area,
                                              const PngLayout& layout, PngCoding coding = {});

/// The smallest of encode_png over every coding of png_codings.
std::expected<QByteArray, QString> encode_png_smallest(const QImage& image, const QRect& area,
                                                       const PngLayout& layout);

/// A whole PNG file of `image` in the smallest layout for its own pixels, the smallest coding,
/// its rows coded again by libdeflate when that is smaller (see recode_smaller).
std::expected<QByteArray, QString> encode_png(const QImage& image);

/// The same rows as the zlib stream `data` of `rows` x `row_bytes` filtered bytes (filter byte
/// included), coded again by libdeflate at its highest level when that is smaller; else `data`
/// itself. libpng chooses the filters, libdeflate finds the shorter code for them.
QByteArray recode_smaller(const QByteArray& data, size_t filtered_size);

/// The size of the filtered rows of a `width` x `height` PNG image in `layout`: one filter byte
/// and the packed samples per row.
size_t filtered_size(int width, int height, const PngLayout& layout);

/// One chunk of a PNG file: the type and its data.
struct PngChunk {
    QByteArray type;
    QByteArray data;
};

/// The chunks of PNG file bytes in order (the signature skipped; CRCs are not checked). Stops
/// at the first chunk that does not fit in the bytes.
std::vector<PngChunk> png_chunks(const QByteArray& png);

/// A chunk as it lies in a file: length, type, data and CRC.
QByteArray png_chunk_bytes(const char* type, const QByteArray& data);

/// Appends `v` as four big-endian bytes.
void append_be32(QByteArray& out, uint32_t v);
/// Appends `v` as two big-endian bytes.
void append_be16(QByteArray& out, uint16_t v);

}  // namespace koma
