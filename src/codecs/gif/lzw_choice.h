#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace koma {

/// An image block as it will be stored: the value of every pixel and the size of its LZW data.
struct LzwChoice {
    std::vector<uint8_t> pixels;
    /// lzw_data_size() of `pixels` with the code size their largest value needs.
    size_t data_size = 0;
    /// True when some pixel is stored as the transparent index instead of its colour.
    bool uses_transparent = false;
};

/// Chooses which unchanged pixels of an image block are stored as the transparent index instead
/// of their own colour (both decode to the same picture) so that the LZW data is smallest.
///
/// In row-major order the unchanged pixels form runs between changed ones, and a run may wrap
/// from the end of one row into the start of the next. Each candidate stores a class of runs
/// as transparent and the rest in their colour: none; the runs of more than one colour; only
/// those of them that touch a row's start or end; those and every run touching a row's start or
/// end; every run but the one-colour runs shorter than three pixels. Making a run of several
/// colours transparent turns it into a repeat of one value, and making the runs at the row ends
/// transparent turns the wrap into the next row into one such repeat. Each candidate is measured
/// with lzw_data_size() at the code size its largest value needs; the smallest wins, the earlier
/// candidate on a tie, so a block gains transparency only where that makes it smaller.
///
/// `colours` holds the block's colour indices row by row, `width` pixels a row; `unchanged[i]`
/// is non-zero when pixel i may be transparent. `transparent` must be a value no colour of the
/// block uses. Returns the block unchanged when `colours` is empty or `width` is 0.
LzwChoice choose_transparency(std::span<const uint8_t> colours, std::span<const uint8_t> unchanged,
                              size_t width, uint8_t transparent);

/// The bytes of the image data that giflib's encoder writes for `pixels` with LZW code size
/// max(2, `code_bits`): the code size byte, the codes in sub-blocks of at most 255 bytes with
/// their length bytes, and the terminating empty sub-block (the image descriptor not counted).
/// It follows giflib's encoder code for code, so candidates can be compared without encoding
/// them. `pixels` must not be empty and hold values below 2^max(2, code_bits).
size_t lzw_data_size(std::span<const uint8_t> pixels, int code_bits);

/// Appends to `out` the image data giflib's encoder writes for `pixels` (see lzw_data_size),
/// byte for byte: the code size byte, the sub-blocks and the terminating empty sub-block.
/// lzw_data_size(pixels, code_bits) bytes are appended. `pixels` must not be empty.
void append_lzw_data(std::span<const uint8_t> pixels, int code_bits, std::vector<uint8_t>& out);

}  // namespace koma
