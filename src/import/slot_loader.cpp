#include "import/slot_loader.h"

#include "import/read_png_file.h"
#include "platform/picture_loader.h"
#include "platform/twips.h"

namespace koma {

bool load_slot_file(EditingModel& model, int slot, const QString& path, bool png_route,
                    QString& message) {
    Q_ASSERT(slot >= 0 && slot < kSlotCount);
    Surface& surface = model.pic[static_cast<size_t>(slot)];
    bool loaded = false;
    if (png_route) {
        loaded = ReadPNGFile(surface, path, message);
    } else if (auto picture = load_picture(path)) {
        surface.set_picture(*picture);
        loaded = true;
        message.clear();
    } else {
        message = picture.error();
    }
    model.slot_files[static_cast<size_t>(slot)] = path;
    if (slot == kBackgroundSlot) {
        model.bg_from_file = -1;
        fit_stage_to_background(model);
    }
    return loaded;
}

void fit_stage_to_background(EditingModel& model) {
    const Surface& background = model.pic[kBackgroundSlot];
    model.win_main.resize_twips(background.width_twips(), background.height_twips());
    const int width = twips_to_pixels(background.width_twips());
    const int height = twips_to_pixels(background.height_twips());
    model.adjust_x.set_max(width);
    model.adjust_y.set_max(height);
    model.adjust_y.set_min(-height);
    model.win_main.clear();
    model.adjust_mode = 0;
}

}  // namespace koma
