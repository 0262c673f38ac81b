#pragma once

#include <QColor>
#include <array>
#include <cstdint>
#include <vector>

namespace koma {

/// Colour to index for at most 256 colours, as a GIF's palette or an 8-bit bitmap's colour
/// table holds them: open addressing over 1024 slots. Entries never change once added, so an
/// index stays good as the table grows. Each colour keeps the value it was added with.
class ColourTable {
  public:
    /// `alpha_clears`: a value of alpha 0 is the one clear entry, whatever its colour bits;
    /// otherwise every value is opaque and only its colour bits tell it apart.
    explicit ColourTable(bool alpha_clears = true) : alpha_clears_(alpha_clears) {}

    /// A table holding `colours` in their order, alpha 0 being clear.
    explicit ColourTable(const std::vector<QRgb>& colours) {
        for (const QRgb c : colours) index_of(c);
    }

    /// The value's index, adding it when new; -1 once a 257th value turns up.
    int index_of(QRgb value) {
        if (value == last_value_ && last_index_ >= 0) return last_index_;
        // Keys carry bit 24 (a colour) or bit 25 (clear), so that 0 can mark an empty slot.
        const bool clear = alpha_clears_ && qAlpha(value) == 0;
        const uint32_t key = clear ? kClearKey : (value & 0xFFFFFFu) | kColourKey;
        uint32_t slot = (key * 0x9E3779B1u) >> 22;
        while (keys_[slot] != key) {
            if (keys_[slot] == 0) {
                if (colours_.size() == kMaxColours) return -1;
                keys_[slot] = key;
                indices_[slot] = static_cast<uint8_t>(colours_.size());
                colours_.push_back(value);
                break;
            }
            slot = (slot + 1) & (kSlots - 1);
        }
        last_value_ = value;
        last_index_ = indices_[slot];
        return last_index_;
    }

    /// The value entry `index` was added with.
    QRgb colour(uint8_t index) const { return colours_[index]; }
    /// Every entry, in the order they were added.
    const std::vector<QRgb>& colours() const { return colours_; }

  private:
    static constexpr size_t kMaxColours = 256;
    static constexpr uint32_t kSlots = 1024;
    static constexpr uint32_t kColourKey = 0x1000000u;
    static constexpr uint32_t kClearKey = 0x2000000u;
    bool alpha_clears_ = true;
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint8_t, kSlots> indices_{};
    std::vector<QRgb> colours_;
    QRgb last_value_ = 0;
    int last_index_ = -1;
};

}  // namespace koma
