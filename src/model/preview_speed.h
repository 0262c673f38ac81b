#pragma once

namespace koma {

/// How fast the preview plays against the times the animation is exported with.
enum class PreviewSpeed {
    Quarter,  ///< a quarter of the speed: every time four times as long
    Half,
    Normal,
    Double,  ///< twice the speed: every time half as long
};

/// How long the preview holds a step of `ms` milliseconds at `speed`: at twice the speed the half,
/// a half millisecond rounded up; never below 1.
constexpr int preview_ms(int ms, PreviewSpeed speed) {
    int shown = ms;
    switch (speed) {
        case PreviewSpeed::Quarter:
            shown = ms * 4;
            break;
        case PreviewSpeed::Half:
            shown = ms * 2;
            break;
        case PreviewSpeed::Normal:
            break;
        case PreviewSpeed::Double:
            shown = (ms + 1) / 2;
            break;
    }
    return shown < 1 ? 1 : shown;
}

}  // namespace koma
