#include "compose/play_order.h"

#include <algorithm>

namespace koma {

int step_duration_ms(const ProjectState& project, int step) {
    if (step >= 0 && step < kMaxSteps && project.step_ms[step] != 0) {
        return project.step_ms[step];
    }
    return project.export_settings.frame_ms;
}

int next_played_step(int step, int length, PlayDirection direction, bool& returning) {
    if (length <= 0) {
        return step;
    }
    if (direction == PlayDirection::Forward || length == 1) {
        returning = false;
        return (step + 1) % length;
    }
    if (!returning && step + 1 < length) {
        return step + 1;
    }
    // At or past the last step, or on the way back: down, from the last step at the most.
    returning = true;
    const int next = std::min(step, length - 1) - 1;
    if (next <= 0) {
        returning = false;
        return 0;
    }
    return next;
}

std::vector<PlayedFrame> play_order(const ProjectState& project) {
    const int length = std::min<int>(static_cast<int>(project.pattern_anime.size()), kMaxSteps);
    if (length == 0) {
        return {};
    }
    const bool bounce = project.direction == PlayDirection::PingPong && length > 2;
    const int frames = bounce ? 2 * length - 2 : length;
    std::vector<PlayedFrame> order;
    order.reserve(static_cast<size_t>(frames));
    int step = 0;
    bool returning = false;
    for (int i = 0; i < frames; ++i) {
        order.push_back({step, step_duration_ms(project, step)});
        step = next_played_step(step, length, project.direction, returning);
    }
    return order;
}

}  // namespace koma
