#include "platform/lzw_choice.h"

#include <algorithm>
#include <array>
#include <vector>

namespace koma {

namespace {

/// The string table: (prefix code, pixel) -> code, as giflib's encoder builds it, held as one
/// row of 2^bits entries per prefix code so that a lookup is one load. A row is in use only
/// when it carries the current generation, so clearing the table costs nothing and a row is
/// filled only when its code first gets a longer string: most image blocks are small.
class StringTable {
  public:
    static constexpr uint16_t kNone = 0xFFFF;

    /// An empty table for pixels below 2^bits.
    void reset(int bits) {
        width_bits_ = std::clamp(bits, 1, 8);
        if (values_.empty()) values_.assign((size_t{kCodes} << 8) + 256, kNone);
        clear();
    }
    void clear() {
        if (++generation_ == 0) {  // wrapped: every stale stamp must go
            std::fill(stamps_.begin(), stamps_.end(), 0);
            generation_ = 1;
        }
    }

    int find(uint32_t prefix, uint8_t pixel) const {
        if (stamps_[prefix] != generation_) return -1;
        const uint16_t code = values_[(size_t{prefix} << width_bits_) + pixel];
        return code == kNone ? -1 : code;
    }
    void insert(uint32_t prefix, uint8_t pixel, int code) {
        uint16_t* row = values_.data() + (size_t{prefix} << width_bits_);
        if (stamps_[prefix] != generation_) {
            std::fill(row, row + (size_t{1} << width_bits_), kNone);
            stamps_[prefix] = generation_;
        }
        row[pixel] = static_cast<uint16_t>(code);
    }

  private:
    static constexpr uint32_t kCodes = 4096;
    int width_bits_ = 8;
    uint32_t generation_ = 1;
    std::vector<uint32_t> stamps_ = std::vector<uint32_t>(kCodes, 0);
    std::vector<uint16_t> values_;
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

size_t lzw_data_size(std::span<const uint8_t> pixels, int code_bits) {
    // giflib's EGifSetupCompress, EGifCompressLine and EGifCompressOutput, counting bits.
    const int bits = std::max(2, code_bits);
    const int clear_code = 1 << bits;
    const int eof_code = clear_code + 1;
    int running_code = eof_code + 1;
    int running_bits = bits + 1;
    int max_code = 1 << running_bits;
    uint64_t total_bits = 0;
    auto output = [&](int code) {
        total_bits += static_cast<uint64_t>(running_bits);
        if (running_code >= max_code && code <= kMaxCode) max_code = 1 << ++running_bits;
    };
    thread_local StringTable table;
    table.reset(bits);
    output(clear_code);
    int current = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint8_t pixel = pixels[i];
        const int found = table.find(static_cast<uint32_t>(current), pixel);
        if (found >= 0) {
            current = found;
            continue;
        }
        output(current);
        if (running_code >= kMaxCode) {
            output(clear_code);
            running_code = eof_code + 1;
            running_bits = bits + 1;
            max_code = 1 << running_bits;
            table.clear();
        } else {
            table.insert(static_cast<uint32_t>(current), pixel, running_code++);
        }
        current = pixel;
    }
    output(current);
    output(eof_code);
    const size_t bytes = static_cast<size_t>((total_bits + 7) / 8);
    return 1 + bytes + (bytes + 254) / 255 + 1;
}

std::vector<uint8_t> choose_for_lzw(std::span<const uint8_t> colours, std::span<const uint8_t> free,
                                    std::span<const uint8_t> preferred, uint8_t transparent,
                                    int code_bits) {
    const size_t n = colours.size();
    std::vector<uint8_t> out(colours.begin(), colours.end());
    const int clear_code = 1 << std::max(2, code_bits);
    const int first_free_code = clear_code + 2;
    int next_code = first_free_code;
    thread_local StringTable table;
    table.reset(std::max(2, code_bits));
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
