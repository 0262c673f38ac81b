#pragma once

#include <cmath>
#include <cstdint>

namespace koma {

/// Window geometry is kept in twips; images are handled in pixels.
inline constexpr int kTwipsPerPixel = 15;

/// The integer nearest to num / den, halves going to the even neighbour. den must be > 0.
constexpr int64_t nearest_div(int64_t num, int64_t den) {
    int64_t q = num / den;
    int64_t r = num % den;
    if (r < 0) {  // floor division, so that 0 <= r < den
        q -= 1;
        r += den;
    }
    const int64_t twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0))) {
        q += 1;
    }
    return q;
}

/// The integer nearest to v, halves going to the even neighbour (2.5 -> 2, 3.5 -> 4).
/// Relies on the default floating-point rounding mode, which rounds ties to even.
inline double round_half_even(double v) { return std::nearbyint(v); }

/// Pixels of a twip length: twips / 15, halves to even.
constexpr int twips_to_pixels(int64_t twips) {
    return static_cast<int>(nearest_div(twips, kTwipsPerPixel));
}

constexpr int pixels_to_twips(int pixels) { return pixels * kTwipsPerPixel; }

/// Whether v fits a signed 16-bit integer, the width of the program's counters and offsets.
constexpr bool fits_int16(int64_t v) { return v >= INT16_MIN && v <= INT16_MAX; }

}  // namespace koma
