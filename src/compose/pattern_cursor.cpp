#include "compose/pattern_cursor.h"

#include <QCoreApplication>
#include <cassert>

#include "compose/compose_frame.h"
#include "compose/offset_model.h"

namespace koma {

void place_edit_cursor(EditingModel& m, int step) {
    assert(step >= 0 && step < kMaxSteps);
    m.edit_cursor = static_cast<int16_t>(step);
    m.pointer_k_left = pointer_left_for(step);
}

bool form1_key_down(EditingModel& m, int key_code) {
    const int n = static_cast<int>(m.pattern_anime.text().size());
    if (m.fine_adjust == 0 || n == 0) {
        return false;
    }
    int step = 0;
    if (key_code == kKeyLeft) {
        step = -1;
    } else if (key_code == kKeyRight) {
        step = 1;
    } else {
        return false;
    }
    // The text box holds at most 91 characters, so the new cursor lies in 0..90.
    const int cursor = (m.edit_cursor + step + n) % n;
    place_edit_cursor(m, cursor);
    m.request_focus(QStringLiteral("pic_dummy"));
    m.pattern_anime.select(cursor, 1);
    m.pattern_pos = static_cast<int16_t>(cursor);
    ComposeFrame(m, 1);
    return true;
}

void bt_arrow_click(EditingModel& m, int index) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.fine_adjust == 0 || index < 0 || index > 3) {
        return;
    }
    const int dy = index == 0 ? -1 : index == 1 ? 1 : 0;
    const int dx = index == 2 ? -1 : index == 3 ? 1 : 0;
    if (!nudge_step(m, m.edit_cursor, dx, dy)) {
        return;
    }
    ComposeFrame(m, 1);
}

void show_edited_step(EditingModel& m, int step) {
    if (m.fine_adjust == 0 || step < 0 || step >= m.pattern_anime.text().size() ||
        step >= kMaxSteps || step == m.edit_cursor) {
        return;
    }
    place_edit_cursor(m, step);
    m.pattern_anime.select(step, 1);
    m.pattern_pos = static_cast<int16_t>(step);
    ComposeFrame(m, 1);
}

void leave_fine_adjust(EditingModel& m) {
    m.fine_adjust = 0;
    m.bt_set2.caption = QCoreApplication::translate("Captions", "微調整ＯＮ");
    m.pattern_anime.set_read_only(false);
    place_edit_cursor(m, 0);
    m.pattern_anime.select(0, 0);
}

}  // namespace koma
