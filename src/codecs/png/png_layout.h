#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <optional>
#include <unordered_map>
#include <vector>

namespace koma {

/// Most entries a PNG palette holds.
inline constexpr int kMaxPalette = 256;

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

/// The colours (alpha left out) that pixels of image areas have, one bit for each of the 2^24,
/// for finding one that none has. Takes 2 MB.
class UsedColours {
  public:
    UsedColours();
    /// Adds the colours of `area` of `image` (32 bits a pixel).
    void add(const QImage& image, const QRect& area);
    /// Adds one colour.
    void add(QRgb value);
    /// The lowest colour (alpha 0xFF) not added, or none when all 2^24 are.
    std::optional<QRgb> first_unused() const;

  private:
    std::vector<uint64_t> used_;
};

/// The layout of a PNG file of `image` alone (RGB32 or ARGB32 with alpha 0 or 255): a palette
/// of its colours when it has at most 256, else RGB, with a colour it does not use marked clear
/// when some pixel is clear (RGBA only when it uses every colour).
PngLayout image_layout(const QImage& image);

/// The size of the filtered rows of a `width` x `height` PNG image in `layout`: one filter byte
/// and the packed samples per row.
size_t filtered_size(int width, int height, const PngLayout& layout);

}  // namespace koma
