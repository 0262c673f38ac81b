#include "compose/redraw_after_restore.h"

#include <algorithm>

#include "compose/adjust_view.h"
#include "compose/compose_frame.h"
#include "compose/pattern_cursor.h"
#include "compose/zoom_mirror.h"

namespace koma {

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
