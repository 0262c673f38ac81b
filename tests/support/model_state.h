#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

#include "model/project_snapshot.h"

namespace koma::test {

/// The whole editing model as a test compares it: the project snapshot (slots, surfaces, every
/// control value) and, on top, the modes, the cursor, selections, captions and the remaining
/// surfaces.
struct ModelState {
    ProjectSnapshot project;
    int16_t pattern_pos = 0, anim_running = 0, edit_cursor = 0, fine_adjust = 0, zoom_open = 0,
            gif_mode = 0;
    int pointer_k_left = 0;
    int pattern_sel_start = 0, pattern_sel_length = 0;
    bool pattern_read_only = false;
    QString bt_set2_caption, anime_caption;
    int timer1_interval = 0;
    QImage zoom_surface;

    bool operator==(const ModelState& other) const;
};

/// The state of `model` now.
ModelState model_state(const EditingModel& model);

}  // namespace koma::test
