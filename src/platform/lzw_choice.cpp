#include "platform/lzw_choice.h"

#include <algorithm>
#include <array>

namespace koma {

namespace {

/// The string table: (prefix code, pixel) -> code, as giflib keeps it, open addressing.
class StringTable {
  public:
    StringTable() { clear(); }
    void clear() { keys_.fill(kEmpty); }

    int find(uint32_t prefix, uint8_t pixel) const {
        const uint32_t key = (prefix << 8) | pixel;
        for (uint32_t slot = hash(key);; slot = (slot + 1) & (kSlots - 1)) {
            if (keys_[slot] == key) return codes_[slot];
            if (keys_[slot] == kEmpty) return -1;
        }
    }
    void insert(uint32_t prefix, uint8_t pixel, int code) {
        const uint32_t key = (prefix << 8) | pixel;
        uint32_t slot = hash(key);
        while (keys_[slot] != kEmpty) slot = (slot + 1) & (kSlots - 1);
        keys_[slot] = key;
        codes_[slot] = static_cast<uint16_t>(code);
    }

  private:
    static constexpr uint32_t kSlots = 8192;  // at most 4096 strings: never more than half full
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    static uint32_t hash(uint32_t key) { return (key * 0x9E3779B1u) >> 19; }
    std::array<uint32_t, kSlots> keys_{};
    std::array<uint16_t, kSlots> codes_{};
};

constexpr int kMaxCode = 4095;
// How many string table lookups one search for the longest string may make.
constexpr int kSearchBudget = 512;

/// Finds, from position `start`, the longest string in the table that the allowed values can
/// spell, and writes its values into `out`. `pending` is the entry that giflib will have added
/// by the time it looks (previous string + this string's first pixel), or -1 for none.
class LongestString {
  public:
    LongestString(std::span<const uint8_t> colours, std::span<const uint8_t> free,
                  std::span<const uint8_t> preferred, uint8_t transparent, const StringTable& table)
        : colours_(colours),
          free_(free),
          preferred_(preferred),
          transparent_(transparent),
          table_(table) {}

    /// Returns the length of the string found (at least 1) and its code in `code`.
    size_t search(size_t start, int pending_prefix, std::vector<uint8_t>& out, int& code) {
        best_length_ = 0;
        pending_prefix_ = pending_prefix;
        for (uint8_t first : values(start)) {
            budget_ = kSearchBudget;
            path_.assign(1, first);
            // A string of one pixel is always in the table: its code is the pixel.
            walk(start + 1, first, first);
        }
        std::copy(best_path_.begin(), best_path_.end(),
                  out.begin() + static_cast<ptrdiff_t>(start));
        code = best_code_;
        return best_length_;
    }

  private:
    std::array<uint8_t, 2> values_buffer_{};
    std::span<const uint8_t> values(size_t i) {
        const size_t count = options(i, values_buffer_);
        return {values_buffer_.data(), count};
    }

    /// The values pixel i may take, the preferred one first; returns how many.
    size_t options(size_t i, std::array<uint8_t, 2>& out) const {
        if (!free_[i] || colours_[i] == transparent_) {
            out[0] = colours_[i];
            return 1;
        }
        const bool clear_first = preferred_[i] == transparent_;
        out[0] = clear_first ? transparent_ : colours_[i];
        out[1] = clear_first ? colours_[i] : transparent_;
        return 2;
    }

    int find(int prefix, uint8_t pixel, uint8_t first) const {
        // The entry that giflib adds just before it starts this string: (previous string,
        // this string's first pixel), whose code is not known here and not needed, only that
        // it exists; its code is given as a marker larger than any real one.
        if (prefix == pending_prefix_ && pixel == first) return kPendingCode;
        return table_.find(static_cast<uint32_t>(prefix), pixel);
    }

    void walk(size_t i, int code, uint8_t first) {
        if (path_.size() > best_length_) {
            best_length_ = path_.size();
            best_path_ = path_;
            best_code_ = code;
        }
        if (i >= colours_.size() || code == kPendingCode || budget_ <= 0) return;
        std::array<uint8_t, 2> options;
        const size_t count = this->options(i, options);
        for (size_t k = 0; k < count; ++k) {
            --budget_;
            const int next = find(code, options[k], first);
            if (next < 0) continue;
            path_.push_back(options[k]);
            walk(i + 1, next, first);
            path_.pop_back();
        }
    }

    static constexpr int kPendingCode = 1 << 16;
    std::span<const uint8_t> colours_;
    std::span<const uint8_t> free_;
    std::span<const uint8_t> preferred_;
    uint8_t transparent_;
    const StringTable& table_;
    int pending_prefix_ = -1;
    int budget_ = 0;
    std::vector<uint8_t> path_;
    std::vector<uint8_t> best_path_;
    size_t best_length_ = 0;
    int best_code_ = 0;
};

}  // namespace

std::vector<uint8_t> choose_for_lzw(std::span<const uint8_t> colours, std::span<const uint8_t> free,
                                    std::span<const uint8_t> preferred, uint8_t transparent,
                                    int code_bits) {
    const size_t n = colours.size();
    std::vector<uint8_t> out(colours.begin(), colours.end());
    const int clear_code = 1 << std::max(2, code_bits);
    const int first_free_code = clear_code + 2;
    int next_code = first_free_code;
    StringTable table;
    LongestString longest(colours, free, preferred, transparent, table);

    // Greedy parsing as giflib does it, but at every string the allowed values are chosen to
    // make that string as long as the table allows.
    int previous = -1;
    size_t at = 0;
    while (at < n) {
        int code = 0;
        const size_t length = longest.search(at, previous, out, code);
        if (previous >= 0) {
            if (next_code >= kMaxCode) {
                table.clear();
                next_code = first_free_code;
            } else {
                table.insert(static_cast<uint32_t>(previous), out[at], next_code++);
            }
        }
        // A string that ran into the pending entry ends there: its code is the new entry.
        previous = code >= (1 << 16) ? next_code - 1 : code;
        at += length;
    }
    return out;
}

}  // namespace koma
