#include "model/slot_loader.h"

#include "codecs/picture_loader.h"
#include "codecs/png/read_png_file.h"
#include "raster/twips.h"

namespace koma {

bool load_slot_image(EditingModel& model, int slot, const QString& path, bool png_route,
                     QString& message) {
    Q_ASSERT(slot >= 0 && slot < kSlotCount);
    Surface& surface = model.pic[static_cast<size_t>(slot)];
    if (png_route) {
        return ReadPNGFile(surface, path, message);
    }
    auto picture = load_picture(path);
    if (!picture) {
        message = picture.error();
        return false;
    }
    surface.set_picture(*picture);
    message.clear();
    return true;
}

bool load_slot_file(EditingModel& model, int slot, const QString& path, bool png_route,
                    QString& message) {
    const bool loaded = load_slot_image(model, slot, path, png_route, message);
    model.slot_files[static_cast<size_t>(slot)] = path;
    if (slot == kBackgroundSlot) {
        model.bg_from_file = -1;
        // The stage takes its new size before the ranges change, so that an adjust view drawn
        // by a limited bar value lands on it; the clear after the ranges erases that again.
        fit_stage_to_background(model);
        fit_ranges_to_background(model);
        model.win_main.clear();
        model.adjust_mode = 0;
    }
    return loaded;
}

void empty_slot(EditingModel& model, int slot) {
    Q_ASSERT(slot >= 0 && slot < kSlotCount);
    model.pic[static_cast<size_t>(slot)] = blank_slot_surface(slot);
}

void fit_ranges_to_background(EditingModel& model) {
    const Surface& background = model.pic[kBackgroundSlot];
    const int width = twips_to_pixels(background.width_twips());
    const int height = twips_to_pixels(background.height_twips());
    model.adjust_x.set_max(width);
    model.adjust_y.set_max(height);
    model.adjust_y.set_min(-height);
}

void fit_stage_to_background(EditingModel& model) {
    const Surface& background = model.pic[kBackgroundSlot];
    model.win_main.resize_twips(background.width_twips(), background.height_twips());
    model.win_main.clear();
}

}  // namespace koma
