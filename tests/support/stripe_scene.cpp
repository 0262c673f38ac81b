#include "support/stripe_scene.h"

#include <gtest/gtest.h>

#include "codecs/frame_writer.h"
#include "compose/compose_frame.h"
#include "support/pixels.h"

namespace koma::test {

void load_stripe_scene(EditingModel& m, const QString& folder, const char* bar) {
    QImage background = solid(12, 3, 0xFF000000u);
    for (int x = 0; x < 12; x += 3) background.setPixel(x, 1, 0xFFFFFF00u);
    m.pic[0].set_picture(background);
    m.win_main.resize_pixels(12, 3);
    m.pic[1].set_picture(from_rows({bar}));
    m.pic[2].set_picture(from_rows({"MGG", "MGG"}));
    m.pic[10].set_picture(from_rows({"WWWWWWWWWWWW", "WWWWWWWWWWWW", "WWWWWWWWWWWB"}));
    m.sc_bar.set_value(3);
    m.export_lists.set_path(folder);
    m.basename.set_text(QStringLiteral("walk"));
}

QImage composed_step(EditingModel& m, int step, bool clear) {
    const int16_t pos = m.pattern_pos;
    m.pattern_pos = static_cast<int16_t>(step);
    EXPECT_TRUE(ComposeFrame(m, 0));
    QImage stage = m.win_main.image().copy();
    const QImage coverage = clear ? stage_coverage(m) : QImage();
    m.pattern_pos = pos;
    return stage_with_alpha(stage, coverage);
}

}  // namespace koma::test
