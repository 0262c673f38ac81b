#pragma once

#include "model/editing_model.h"

namespace koma {

/// Preview timer interval while the animation test runs with the default frame time, in
/// milliseconds.
inline constexpr int kAnimationInterval = 80;

/// Click on `anime`: parks the focus on pic_dummy, then starts the test from step 0 (interval
/// the export settings' frame_ms, 80 ms by default, caption "テスト中断") or stops it (interval 0,
/// caption "アニメテスト"). With an empty pattern only the focus moves.
void anime_click(EditingModel& model);

/// Tick of `Timer1`: composes the step pattern_pos without touching the read-outs, then advances
/// pattern_pos modulo the pattern's current length. An empty pattern keeps pattern_pos as it is.
void timer1_tick(EditingModel& model);

}  // namespace koma
