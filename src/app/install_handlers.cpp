#include "app/install_handlers.h"

namespace koma {

void install_handlers(EditingModel& model) {
    // Each subsystem connects its own handlers here, one line per control.
    (void)model;
}

}  // namespace koma
