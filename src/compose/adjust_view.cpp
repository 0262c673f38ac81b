#include "compose/adjust_view.h"

#include "compose/zoom_mirror.h"
#include "raster/masked_blit.h"

namespace koma {

void adjust_view(EditingModel& m) {
    if (m.adjust_mode == 0) {
        return;
    }
    const int x = m.adjust_x.value();
    const int y = m.adjust_y.value();
    QImage& stage = m.win_main.image();
    const QImage& background = m.pic[kBackgroundSlot].image();
    PlainBlit(stage, 0, 0, background.width(), background.height(), background, 0, 0);

    const QImage& frame = m.pic[1].image();
    // A slot without any pixels has no key colour and nothing to draw.
    if (!frame.isNull()) {
        MaskedBlit(stage, x, y, frame.width(), frame.height(), frame, 0, 0, frame.pixel(0, 0));
    }

    if (m.zoom_open == 1) {
        zoom_mirror(m);
    }
}

}  // namespace koma
