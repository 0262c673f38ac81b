#include "adjust/fine_adjust.h"

#include <QCoreApplication>

#include "compose/adjust_view.h"
#include "compose/compose_frame.h"
#include "compose/pattern_cursor.h"

namespace koma {

namespace {

QString fine_off_caption() { return QCoreApplication::translate("Captions", "微調整ＯＦＦ"); }

}  // namespace

void bt_set_click(EditingModel& m) {
    m.adjust_mode = 1;
    leave_fine_adjust(m);
    adjust_view(m);
}

void bt_set2_click(EditingModel& m) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.pattern_anime.text().isEmpty() || m.fine_adjust != 0) {
        leave_fine_adjust(m);
        return;
    }
    m.fine_adjust = 1;
    m.adjust_mode = 0;
    m.bt_set2.caption = fine_off_caption();
    m.pattern_anime.set_read_only(true);
    m.pattern_anime.select(0, 1);
    m.pattern_pos = 0;
    place_edit_cursor(m, 0);
    m.request_focus(QStringLiteral("pic_dummy"));
    ComposeFrame(m, 1);
}

void bt_reset_click(EditingModel& m) {
    m.request_focus(QStringLiteral("pic_dummy"));
    m.adjust_x.set_value(0);
    m.adjust_y.set_value(0);
}

}  // namespace koma
