#include "support/model_state.h"

namespace koma::test {

bool ModelState::operator==(const ModelState& o) const {
    return project == o.project && pattern_pos == o.pattern_pos && anim_running == o.anim_running &&
           edit_cursor == o.edit_cursor && fine_adjust == o.fine_adjust &&
           zoom_open == o.zoom_open && gif_mode == o.gif_mode &&
           pointer_k_left == o.pointer_k_left && pattern_sel_start == o.pattern_sel_start &&
           pattern_sel_length == o.pattern_sel_length && pattern_read_only == o.pattern_read_only &&
           bt_set2_caption == o.bt_set2_caption && anime_caption == o.anime_caption &&
           timer1_interval == o.timer1_interval && zoom_surface == o.zoom_surface;
}

ModelState model_state(const EditingModel& m) {
    ModelState s;
    s.project = take_snapshot(m);
    s.pattern_pos = m.pattern_pos;
    s.anim_running = m.anim_running;
    s.edit_cursor = m.edit_cursor;
    s.fine_adjust = m.fine_adjust;
    s.zoom_open = m.zoom_open;
    s.gif_mode = m.gif_mode;
    s.pointer_k_left = m.pointer_k_left;
    s.pattern_sel_start = m.pattern_anime.sel_start();
    s.pattern_sel_length = m.pattern_anime.sel_length();
    s.pattern_read_only = m.pattern_anime.read_only();
    s.bt_set2_caption = m.bt_set2.caption;
    s.anime_caption = m.anime.caption;
    s.timer1_interval = m.timer1_interval;
    s.zoom_surface = m.zoom_surface.image();
    return s;
}

}  // namespace koma::test
