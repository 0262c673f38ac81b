#include "app/edit_snapshot.h"

#include <utility>

#include "adjust/adjust_view.h"
#include "adjust/fine_adjust.h"
#include "adjust/zoom_mirror.h"
#include "app/compose_frame.h"
#include "app/pattern_cursor.h"

namespace koma {

namespace {

BarValues bar_values(const ScrollBar& bar) { return {bar.min(), bar.max(), bar.value()}; }

bool same_surface(const Surface& a, const Surface& b) {
    return a.width_twips() == b.width_twips() && a.height_twips() == b.height_twips() &&
           a.image() == b.image();
}

void put_bar(ScrollBar& bar, const BarValues& values) {
    auto handler = std::exchange(bar.on_change, nullptr);
    // With the handler out of the way the order only has to keep min <= max on the way.
    bar.set_max(values.max);
    bar.set_min(values.min);
    bar.set_max(values.max);
    bar.set_value(values.value);
    bar.on_change = std::move(handler);
}

void put_text(TextBox& box, const QString& text) {
    auto handler = std::exchange(box.on_change, nullptr);
    box.set_text(text);
    box.on_change = std::move(handler);
}

}  // namespace

bool EditSnapshot::operator==(const EditSnapshot& other) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (!same_surface(pic[i], other.pic[i])) {
            return false;
        }
    }
    return same_surface(win_main, other.win_main) && slot_names == other.slot_names &&
           slot_files == other.slot_files && step_dx == other.step_dx && step_dy == other.step_dy &&
           bg_color == other.bg_color && bg_from_file == other.bg_from_file &&
           stage_width == other.stage_width && stage_height == other.stage_height &&
           adjust_mode == other.adjust_mode && export_settings == other.export_settings &&
           sc_bar == other.sc_bar && adjust_x == other.adjust_x && adjust_y == other.adjust_y &&
           pattern_anime == other.pattern_anime && size_move == other.size_move &&
           offset_x == other.offset_x && offset_y == other.offset_y &&
           total_adjust_x == other.total_adjust_x && total_adjust_y == other.total_adjust_y &&
           this_adjust_x == other.this_adjust_x && this_adjust_y == other.this_adjust_y &&
           basename == other.basename && export_drive == other.export_drive &&
           export_path == other.export_path && path_ref == other.path_ref;
}

EditSnapshot take_snapshot(const EditingModel& m) {
    EditSnapshot s;
    s.slot_names = m.slot_names;
    s.slot_files = m.slot_files;
    s.pic = m.pic;
    s.win_main = m.win_main;
    s.step_dx = m.step_dx;
    s.step_dy = m.step_dy;
    s.bg_color = m.bg_color;
    s.bg_from_file = m.bg_from_file;
    s.stage_width = m.stage_width;
    s.stage_height = m.stage_height;
    s.adjust_mode = m.adjust_mode;
    s.export_settings = m.export_settings;
    s.sc_bar = bar_values(m.sc_bar);
    s.adjust_x = bar_values(m.adjust_x);
    s.adjust_y = bar_values(m.adjust_y);
    s.pattern_anime = m.pattern_anime.text();
    s.size_move = m.size_move.text();
    s.offset_x = m.offset_x.text();
    s.offset_y = m.offset_y.text();
    s.total_adjust_x = m.total_adjust_x.text();
    s.total_adjust_y = m.total_adjust_y.text();
    s.this_adjust_x = m.this_adjust_x.text();
    s.this_adjust_y = m.this_adjust_y.text();
    s.basename = m.basename.text();
    s.export_drive = m.export_lists.drive();
    s.export_path = m.export_lists.path();
    s.path_ref = m.path_ref.caption;
    return s;
}

void restore_snapshot(EditingModel& m, const EditSnapshot& s, const EditSnapshot& left) {
    m.slot_names = s.slot_names;
    m.slot_files = s.slot_files;
    m.pic = s.pic;
    m.win_main = s.win_main;
    m.step_dx = s.step_dx;
    m.step_dy = s.step_dy;
    m.bg_color = s.bg_color;
    m.bg_from_file = s.bg_from_file;
    m.stage_width = s.stage_width;
    m.stage_height = s.stage_height;
    if (m.adjust_mode == left.adjust_mode) {
        m.adjust_mode = s.adjust_mode;
    }
    m.export_settings = s.export_settings;
    put_bar(m.sc_bar, s.sc_bar);
    put_bar(m.adjust_x, s.adjust_x);
    put_bar(m.adjust_y, s.adjust_y);
    put_text(m.pattern_anime, s.pattern_anime);
    put_text(m.size_move, s.size_move);
    put_text(m.offset_x, s.offset_x);
    put_text(m.offset_y, s.offset_y);
    put_text(m.total_adjust_x, s.total_adjust_x);
    put_text(m.total_adjust_y, s.total_adjust_y);
    put_text(m.this_adjust_x, s.this_adjust_x);
    put_text(m.this_adjust_y, s.this_adjust_y);
    put_text(m.basename, s.basename);
    m.export_lists.restore(s.export_drive, s.export_path);
    m.path_ref.caption = s.path_ref;
    redraw_after_restore(m);
}

void redraw_after_restore(EditingModel& m) {
    const int length =
        static_cast<int>(std::min<qsizetype>(m.pattern_anime.text().size(), kMaxSteps));
    if (m.fine_adjust != 0) {
        if (length == 0) {
            leave_fine_adjust(m);
            return;
        }
        const int step = std::clamp<int>(m.edit_cursor, 0, length - 1);
        place_edit_cursor(m, step);
        m.pattern_anime.select(step, 1);
        m.pattern_pos = static_cast<int16_t>(step);
        ComposeFrame(m, 1);
        return;
    }
    if (m.pattern_pos >= length) {
        m.pattern_pos = 0;
    }
    if (m.adjust_mode != 0) {
        adjust_view(m);
    } else if (m.zoom_open == 1) {
        zoom_mirror(m);
    }
}

}  // namespace koma
