#include "compose/zoom_mirror.h"

#include "raster/stretch_blit.h"
#include "raster/twips.h"

namespace koma {

QSize zoom_picture_size(const EditingModel& m) {
    const int64_t wt = m.win_main.width_twips();
    const int64_t ht = m.win_main.height_twips();
    return {static_cast<int>(nearest_div(wt * 4, kTwipsPerPixel)),
            static_cast<int>(nearest_div(ht * 4, kTwipsPerPixel))};
}

void zoom_mirror(EditingModel& m) {
    const QSize enlarged = zoom_picture_size(m);
    StretchBlit(m.zoom_surface.image(), enlarged.width(), enlarged.height(), m.win_main.image(),
                twips_to_pixels(m.win_main.width_twips()),
                twips_to_pixels(m.win_main.height_twips()));
    emit m.zoom_repainted();
}

}  // namespace koma
