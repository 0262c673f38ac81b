#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace koma {

/// Chooses the stored value of every pixel of an image block whose unchanged pixels may be
/// either their own colour or the transparent index (both decode to the same picture), so
/// that GIF's LZW compression finds long strings.
///
/// It follows the string table of giflib's encoder as it will be built (same codes, same
/// reset when the table is full) and, at each free pixel, takes the value that continues the
/// current string, looking one pixel ahead when both or neither do. `colours[i]` is the pixel's
/// colour index, `free[i]` non-zero when it may be transparent instead, `code_bits` the colour
/// map's bits per pixel. The result has the size of `colours`; pixels that are not free keep
/// their colour.
std::vector<uint8_t> choose_for_lzw(std::span<const uint8_t> colours, std::span<const uint8_t> free,
                                    std::span<const uint8_t> preferred, uint8_t transparent,
                                    int code_bits);

/// The bytes of the image data that giflib's encoder writes for `pixels` with LZW code size
/// max(2, `code_bits`): the code size byte, the codes in sub-blocks of at most 255 bytes with
/// their length bytes, and the terminating empty sub-block (the image descriptor not counted).
/// It follows giflib's encoder code for code, so candidates can be compared without encoding
/// them. `pixels` must not be empty and hold values below 2^max(2, code_bits).
size_t lzw_data_size(std::span<const uint8_t> pixels, int code_bits);

}  // namespace koma
