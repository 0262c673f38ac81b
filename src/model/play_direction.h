#pragma once

namespace koma {

/// The order in which the animation plays its steps.
enum class PlayDirection {
    Forward,   ///< steps 0 to n-1, then again from 0
    PingPong,  ///< steps 0 to n-1, then n-2 down to 1, then again from 0
};

}  // namespace koma
