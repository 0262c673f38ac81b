#include "compose/zoom_mirror.h"

#include "raster/stretch_blit.h"
#include "raster/twips.h"

namespace koma {

void zoom_mirror(EditingModel& m) {
    const int64_t wt = m.win_main.width_twips();
    const int64_t ht = m.win_main.height_twips();
    StretchBlit(m.zoom_surface.image(), static_cast<int>(nearest_div(wt * 4, kTwipsPerPixel)),
                static_cast<int>(nearest_div(ht * 4, kTwipsPerPixel)), m.win_main.image(),
                twips_to_pixels(wt), twips_to_pixels(ht));
    emit m.zoom_repainted();
}

}  // namespace koma
