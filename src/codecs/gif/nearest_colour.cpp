#include "codecs/gif/nearest_colour.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace koma {

namespace {

constexpr uint32_t kUsed = 0x1000000u;
constexpr int kFirstBits = 10;

/// The first slot of `key` in a table of 2^bits slots: the top bits of a multiplicative hash,
/// which spread colours that differ only in their low bits.
uint32_t slot_of(uint32_t key, int bits) { return (key * 0x9E3779B1u) >> (32 - bits); }

}  // namespace

NearestColour::NearestColour(const std::vector<QRgb>& palette)
    : bits_(kFirstBits), keys_(size_t{1} << kFirstBits, 0), values_(keys_.size(), 0) {
    assert(!palette.empty() && palette.size() <= 256);
    for (size_t i = 0; i < palette.size(); ++i) {
        by_green_.push_back(
            {qRed(palette[i]), qGreen(palette[i]), qBlue(palette[i]), static_cast<uint8_t>(i)});
    }
    std::stable_sort(by_green_.begin(), by_green_.end(),
                     [](const Entry& a, const Entry& b) { return a.g < b.g; });
}

uint8_t NearestColour::search(QRgb colour) const {
    const int r = qRed(colour), g = qGreen(colour), b = qBlue(colour);
    int best = std::numeric_limits<int>::max();
    int best_index = 256;
    auto consider = [&](const Entry& e) {
        const int dr = e.r - r, dg = e.g - g, db = e.b - b;
        const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
        if (d < best || (d == best && e.index < best_index)) {
            best = d;
            best_index = e.index;
        }
    };
    // Walk outwards from the entries of nearest green; an entry whose green alone is farther
    // than the best so far cannot win, nor can any beyond it (an equal distance still can,
    // through a lower index).
    const auto start = std::lower_bound(by_green_.begin(), by_green_.end(), g,
                                        [](const Entry& e, int value) { return e.g < value; });
    for (auto it = start; it != by_green_.end(); ++it) {
        const int dg = it->g - g;
        if (4 * dg * dg > best) break;
        consider(*it);
    }
    for (auto it = start; it != by_green_.begin();) {
        --it;
        const int dg = it->g - g;
        if (4 * dg * dg > best) break;
        consider(*it);
    }
    return static_cast<uint8_t>(best_index);
}

uint8_t NearestColour::index_of(QRgb colour) {
    const uint32_t key = (colour & 0xFFFFFFu) | kUsed;
    if (key == last_key_) return last_index_;
    uint32_t slot = slot_of(key, bits_);
    while (keys_[slot] != key) {
        if (keys_[slot] == 0) {
            const uint8_t index = search(colour);
            keys_[slot] = key;
            values_[slot] = index;
            if (++stored_ * 2 > keys_.size()) grow();
            last_key_ = key;
            last_index_ = index;
            return index;
        }
        slot = (slot + 1) & static_cast<uint32_t>(keys_.size() - 1);
    }
    last_key_ = key;
    last_index_ = values_[slot];
    return last_index_;
}

void NearestColour::grow() {
    const int bits = bits_ + 1;
    std::vector<uint32_t> keys(size_t{1} << bits, 0);
    std::vector<uint8_t> values(keys.size(), 0);
    for (size_t i = 0; i < keys_.size(); ++i) {
        if (keys_[i] == 0) continue;
        uint32_t slot = slot_of(keys_[i], bits);
        while (keys[slot] != 0) slot = (slot + 1) & static_cast<uint32_t>(keys.size() - 1);
        keys[slot] = keys_[i];
        values[slot] = values_[i];
    }
    bits_ = bits;
    keys_.swap(keys);
    values_.swap(values);
}

}  // namespace koma
