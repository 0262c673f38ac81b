#pragma once

#include <QRgb>
#include <cstdint>
#include <vector>

namespace koma {

/// The nearest entry of one fixed palette for any colour, by a weighted RGB distance
/// (2 dr² + 4 dg² + 3 db²); of equally near entries the one with the lowest index. The answer
/// depends on the colour and the palette only, so a colour gets the same index wherever and
/// whenever it appears. Answers are remembered: each distinct colour is searched once.
class NearestColour {
  public:
    /// `palette` holds 1 to 256 colours; their alpha is ignored.
    explicit NearestColour(const std::vector<QRgb>& palette);

    /// The index into the palette of the entry nearest to `colour` (alpha ignored).
    uint8_t index_of(QRgb colour);

  private:
    struct Entry {
        int r, g, b;
        uint8_t index;
    };

    uint8_t search(QRgb colour) const;
    void grow();

    /// The palette sorted by green, so that a search can stop once green alone is too far.
    std::vector<Entry> by_green_;
    int bits_;
    /// Open addressing over remembered colours; a key is the colour with bit 24 set, 0 empty.
    std::vector<uint32_t> keys_;
    std::vector<uint8_t> values_;
    size_t stored_ = 0;
    uint32_t last_key_ = 0;
    uint8_t last_index_ = 0;
};

}  // namespace koma
