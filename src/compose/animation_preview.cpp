#include "compose/animation_preview.h"

#include "compose/compose_frame.h"

namespace koma {

void anime_click(EditingModel& m) {
    m.request_focus(QStringLiteral("pic_dummy"));
    if (m.pattern_anime.text().isEmpty()) {
        return;
    }
    if (m.anim_running == 0) {
        m.anim_running = 1;
        m.pattern_pos = 0;
        m.timer1_interval = m.export_settings.frame_ms;
        m.anime.caption = QStringLiteral("テスト中断");
    } else {
        m.timer1_interval = 0;
        m.anim_running = 0;
        m.anime.caption = QStringLiteral("アニメテスト");
    }
}

void timer1_tick(EditingModel& m) {
    // A step that cannot be placed (a sum out of range) is skipped on the stage, but the
    // animation still moves on, so one bad step never freezes the preview.
    ComposeFrame(m, 0);
    const int n = static_cast<int>(m.pattern_anime.text().size());
    if (n > 0) {
        // The modulo also brings a position left past the end of a shortened pattern back in.
        m.pattern_pos = static_cast<int16_t>((m.pattern_pos + 1) % n);
    }
}

}  // namespace koma
