#include "codecs/gif/lzw_choice.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace koma {

namespace {

/// The string table: (prefix code, pixel) -> code, as giflib's encoder builds it, held as one
/// row of 2^bits entries per prefix code so that a lookup is one load. Code 0 is never added
/// (added codes start after the clear and end codes), so 0 marks an absent entry. The memory
/// comes zeroed from the system and only the rows in use are ever touched; clearing zeroes
/// just the entries that were added, so it costs what the block added.
class StringTable {
  public:
    StringTable() : codes_(static_cast<uint16_t*>(std::calloc(kEntries, sizeof(uint16_t)))) {
        if (!codes_) throw std::bad_alloc();
        added_.reserve(kCodes);
    }
    ~StringTable() { std::free(codes_); }
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    /// An empty table for pixels below 2^bits.
    void reset(int bits) {
        clear();
        shift_ = std::clamp(bits, 1, 8);
    }
    void clear() {
        for (const uint32_t at : added_) codes_[at] = 0;
        added_.clear();
    }

    /// The code of (prefix, pixel), 0 when absent: `codes()[key(prefix, pixel)]`.
    const uint16_t* codes() const { return codes_; }
    int shift() const { return shift_; }

    void insert(uint32_t prefix, uint8_t pixel, int code) {
        const uint32_t at = (prefix << shift_) + pixel;
        codes_[at] = static_cast<uint16_t>(code);
        added_.push_back(at);
    }

  private:
    static constexpr size_t kCodes = 4096;
    static constexpr size_t kEntries = (kCodes << 8) + 256;
    int shift_ = 8;
    uint16_t* codes_;
    std::vector<uint32_t> added_;
};

constexpr int kMaxCode = 4095;

int code_bits_for(std::span<const uint8_t> pixels) {
    uint8_t most = 0;
    for (const uint8_t v : pixels) most = std::max(most, v);  // vectorised, unlike max_element
    return std::max(2, static_cast<int>(std::bit_width(most)));
}

/// A run of unchanged pixels in row-major order: [start, end).
struct Run {
    size_t start;
    size_t end;
    bool mixed;     ///< more than one colour
    bool row_edge;  ///< touches the start or the end of a row (or wraps past one)
};

std::vector<Run> unchanged_runs(std::span<const uint8_t> colours,
                                std::span<const uint8_t> unchanged, size_t width) {
    std::vector<Run> runs;
    const size_t n = colours.size();
    size_t k = 0;
    while (k < n) {
        if (!unchanged[k]) {
            ++k;
            continue;
        }
        size_t end = k;
        bool mixed = false;
        while (end < n && unchanged[end]) mixed |= colours[end++] != colours[k];
        const bool row_edge = k % width == 0 || end % width == 0 || k / width != (end - 1) / width;
        runs.push_back({k, end, mixed, row_edge});
        k = end;
    }
    return runs;
}

}  // namespace

namespace {

/// giflib's EGifSetupCompress, EGifCompressLine and EGifCompressOutput: calls `emit(code,
/// bits)` for every code giflib writes, with the width it writes it in, until `emit` returns
/// false.
template <typename Emit>
void lzw_codes(std::span<const uint8_t> pixels, int code_bits, Emit&& emit) {
    const int bits = std::max(2, code_bits);
    const int clear_code = 1 << bits;
    const int eof_code = clear_code + 1;
    int running_code = eof_code + 1;
    int running_bits = bits + 1;
    int max_code = 1 << running_bits;
    auto output = [&](int code) {
        const bool more = emit(code, running_bits);
        if (running_code >= max_code && code <= kMaxCode) max_code = 1 << ++running_bits;
        return more;
    };
    thread_local StringTable table;
    table.reset(bits);
    // Held in locals: the loop below is one dependent load per pixel while strings match.
    const uint16_t* const codes = table.codes();
    const int shift = table.shift();
    output(clear_code);
    uint32_t current = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint8_t pixel = pixels[i];
        const uint16_t found = codes[(current << shift) + pixel];
        if (found != 0) {
            current = found;
            continue;
        }
        if (!output(static_cast<int>(current))) return;
        if (running_code >= kMaxCode) {
            output(clear_code);
            running_code = eof_code + 1;
            running_bits = bits + 1;
            max_code = 1 << running_bits;
            table.clear();
        } else {
            table.insert(current, pixel, running_code++);
        }
        current = pixel;
    }
    output(static_cast<int>(current));
    output(eof_code);
}

}  // namespace

namespace {

size_t data_size_of(uint64_t bits) {
    const size_t bytes = static_cast<size_t>((bits + 7) / 8);
    return 1 + bytes + (bytes + 254) / 255 + 1;
}

/// lzw_data_size, or any size of at least `limit` once it is sure to reach that.
size_t lzw_data_size_below(std::span<const uint8_t> pixels, int code_bits, size_t limit) {
    uint64_t total_bits = 0;
    lzw_codes(pixels, code_bits, [&](int, int bits) {
        total_bits += static_cast<uint64_t>(bits);
        return data_size_of(total_bits) < limit;
    });
    return data_size_of(total_bits);
}

}  // namespace

size_t lzw_data_size(std::span<const uint8_t> pixels, int code_bits) {
    return lzw_data_size_below(pixels, code_bits, SIZE_MAX);
}

void append_lzw_data(std::span<const uint8_t> pixels, int code_bits, std::vector<uint8_t>& out) {
    // The codes packed low bit first into one run of bytes, then cut into sub-blocks of up to
    // 255 bytes, each after its length byte, as giflib's EGifBufferedOutput fills them.
    thread_local std::vector<uint8_t> packed;
    packed.clear();
    uint64_t word = 0;
    int held = 0;
    lzw_codes(pixels, code_bits, [&](int code, int bits) {
        word |= static_cast<uint64_t>(code) << held;
        held += bits;
        if (held >= 32) {
            for (int k = 0; k < 4; ++k) packed.push_back(static_cast<uint8_t>(word >> (8 * k)));
            word >>= 32;
            held -= 32;
        }
        return true;
    });
    for (; held > 0; held -= 8) {
        packed.push_back(static_cast<uint8_t>(word & 0xFF));
        word >>= 8;
    }
    out.push_back(static_cast<uint8_t>(std::max(2, code_bits)));
    for (size_t at = 0; at < packed.size(); at += 255) {
        const size_t length = std::min<size_t>(255, packed.size() - at);
        out.push_back(static_cast<uint8_t>(length));
        out.insert(out.end(), packed.begin() + static_cast<ptrdiff_t>(at),
                   packed.begin() + static_cast<ptrdiff_t>(at + length));
    }
    out.push_back(0);
}

LzwChoice choose_transparency(std::span<const uint8_t> colours, std::span<const uint8_t> unchanged,
                              size_t width, uint8_t transparent) {
    LzwChoice best;
    best.pixels.assign(colours.begin(), colours.end());
    if (colours.empty() || width == 0) return best;
    best.data_size = lzw_data_size(best.pixels, code_bits_for(best.pixels));

    const std::vector<Run> runs = unchanged_runs(colours, unchanged, width);
    if (runs.empty()) return best;
    std::vector<uint8_t> pixels;
    // Which runs each candidate made transparent: a candidate that picks the same runs as an
    // earlier one (common in small blocks) is not measured again.
    std::vector<std::vector<bool>> tried;
    auto consider = [&](auto&& clear_run) {
        std::vector<bool> picked(runs.size());
        for (size_t r = 0; r < runs.size(); ++r) picked[r] = clear_run(runs[r]);
        if (std::find(picked.begin(), picked.end(), true) == picked.end() ||
            std::find(tried.begin(), tried.end(), picked) != tried.end()) {
            return;
        }
        pixels.assign(colours.begin(), colours.end());
        for (size_t r = 0; r < runs.size(); ++r) {
            if (!picked[r]) continue;
            std::fill(pixels.begin() + static_cast<ptrdiff_t>(runs[r].start),
                      pixels.begin() + static_cast<ptrdiff_t>(runs[r].end), transparent);
        }
        tried.push_back(std::move(picked));
        // A candidate is only counted as far as it could still be the smallest.
        const size_t size = lzw_data_size_below(pixels, code_bits_for(pixels), best.data_size);
        if (size < best.data_size) {
            best.data_size = size;
            best.pixels.swap(pixels);
            best.uses_transparent = true;
        }
    };
    consider([](const Run& run) { return run.mixed; });
    consider([](const Run& run) { return run.mixed && run.row_edge; });
    consider([](const Run& run) { return run.mixed || run.row_edge; });
    consider([](const Run& run) { return run.mixed || run.end - run.start >= 3; });
    return best;
}

}  // namespace koma
