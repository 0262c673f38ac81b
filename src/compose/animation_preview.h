#pragma once

#include "model/editing_model.h"

namespace koma {

/// Preview timer interval while the animation test runs with the default frame time, in
/// milliseconds.
inline constexpr int kAnimationInterval = 80;

/// Click on `anime`: parks the focus on pic_dummy, then starts the test from step 0 (interval
/// the export settings' frame_ms, 80 ms by default, at the preview's speed; caption
/// "テスト中断") or stops it (interval 0, caption "アニメテスト"). With an empty pattern only the
/// focus moves.
void anime_click(EditingModel& model);

/// Tick of `Timer1`: composes the step pattern_pos without touching the read-outs, then advances
/// pattern_pos to the next step played in the project's direction (next_played_step; forward:
/// modulo the pattern's current length). An empty pattern keeps pattern_pos as it is. While the
/// timer runs, its interval becomes the shown step's time (step_duration_ms) at the preview's
/// speed, so that every step is held for its own time.
void timer1_tick(EditingModel& model);

/// The preview's timer interval for a step of `ms` milliseconds at the model's preview speed.
int preview_interval(const EditingModel& model, int ms);

/// A time the preview holds may have changed (the frame time, a step's own time, the speed):
/// a running timer takes the time of the step on the stage at once (before the first tick: the
/// frame time); a stopped one (interval 0) stays stopped.
void retime_preview(EditingModel& model);

/// Chooses how fast the preview plays; a running preview takes the speed at once. Changes
/// nothing that is saved or exported.
void set_preview_speed(EditingModel& model, PreviewSpeed speed);

}  // namespace koma
