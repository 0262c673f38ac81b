#pragma once

namespace koma {

/// How hard the PNG coders (the PNG sequence and the animated PNG) look for small files. Both
/// give files that decode to the same pixels.
enum class CodingEffort {
    /// One coding per layout, chosen for what it gives for its time: about as small as
    /// optipng -o1 at a small part of its time.
    Default,
    /// Every coding worth trying for each image, then libdeflate's highest level over the best,
    /// as earlier versions coded them: usually a little smaller, many times slower.
    Max,
};

}  // namespace koma
