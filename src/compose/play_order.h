#pragma once

#include <vector>

#include "model/project_state.h"

namespace koma {

/// One frame of the animation as it plays: the step shown and how long it is shown.
struct PlayedFrame {
    int step = 0;
    int ms = 0;

    bool operator==(const PlayedFrame&) const = default;
};

/// How long step `step` is shown, in milliseconds: its own time in step_ms, or the export
/// settings' frame time where it has none (0) or where `step` lies outside 0..90.
int step_duration_ms(const ProjectState& project, int step);

/// The step the animation shows after `step` in a pattern of `length` steps, playing in
/// `direction`. Forward: (step + 1) mod length, which also brings a step past the end of a
/// shortened pattern back in. Ping-pong: up to the last step, then back down to step 0 and up
/// again; `returning` tells whether the play is on its way back and is updated (a step at or
/// past the last one turns back). A pattern of one step stays at 0; an empty pattern keeps
/// `step` as it is.
int next_played_step(int step, int length, PlayDirection direction, bool& returning);

/// One pass of the animation of `project` (its pattern, at most 91 steps): forward the steps 0 to
/// n-1, ping-pong 0 to n-1 and then n-2 down to 1 (two steps: 0 1; one step: 0), each with its
/// step_duration_ms. Empty for an empty pattern. What the preview repeats and what every export
/// writes, in this order.
std::vector<PlayedFrame> play_order(const ProjectState& project);

}  // namespace koma
