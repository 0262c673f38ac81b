#include "state/load_save.h"

#include "state/read_state.h"
#include "state/write_state.h"

namespace koma {

std::expected<void, QString> load_save(EditingModel& model) {
    switch (model.state_mode) {
        case 1:
            return read_state(model, model.work_path);
        case 2:
            return write_state(model, model.work_path);
        default:
            return {};
    }
}

}  // namespace koma
