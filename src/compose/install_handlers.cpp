#include "compose/install_handlers.h"

#include "compose/offset_model.h"
#include "compose/redraw_after_restore.h"

namespace koma {

void install_handlers(EditingModel& model) {
    // Each subsystem connects its own handlers here, one line per control.
    model.adjust_x.on_change = [&model] { adjust_x_change(model); };
    model.adjust_y.on_change = [&model] { adjust_y_change(model); };
    model.sc_bar.on_change = [&model] { sc_bar_change(model); };
    model.size_move.on_change = [&model] { size_move_change(model); };
    model.on_restore = [&model] { redraw_after_restore(model); };
}

}  // namespace koma
