#include "compose/animation_preview.h"

#include <QCoreApplication>

#include "compose/compose_frame.h"
#include "compose/play_order.h"

namespace koma {

void anime_click(EditingModel& m) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.pattern_anime.text().isEmpty()) {
        return;
    }
    if (m.anim_running == 0) {
        m.anim_running = 1;
        m.pattern_pos = 0;
        m.preview_step = -1;
        m.preview_returning = false;
        m.timer1_interval = preview_interval(m, m.export_settings.frame_ms);
        m.anime.caption = QCoreApplication::translate("Captions", "テスト中断");
    } else {
        m.timer1_interval = 0;
        m.anim_running = 0;
        m.anime.caption = QCoreApplication::translate("Captions", "アニメテスト");
    }
}

void timer1_tick(EditingModel& m) {
    // A step that cannot be placed (a sum out of range) is skipped on the stage, but the
    // animation still moves on, so one bad step never freezes the preview.
    ComposeFrame(m, 0);
    const int shown = m.pattern_pos;
    m.preview_step = static_cast<int16_t>(shown);
    if (m.timer1_interval > 0) {
        m.timer1_interval = preview_interval(m, step_duration_ms(m.project, shown));
    }
    const int n = static_cast<int>(m.pattern_anime.text().size());
    m.pattern_pos =
        static_cast<int16_t>(next_played_step(shown, n, m.project.direction, m.preview_returning));
}

int preview_interval(const EditingModel& m, int ms) { return preview_ms(ms, m.preview_speed); }

void retime_preview(EditingModel& m) {
    if (m.timer1_interval <= 0) {
        return;
    }
    const int ms = m.preview_step < 0 ? m.export_settings.frame_ms
                                      : step_duration_ms(m.project, m.preview_step);
    m.timer1_interval = preview_interval(m, ms);
}

void set_preview_speed(EditingModel& m, PreviewSpeed speed) {
    m.preview_speed = speed;
    retime_preview(m);
}

}  // namespace koma
