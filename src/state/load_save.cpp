#include "state/load_save.h"

#include "state/read_state.h"
#include "state/write_state.h"

namespace koma {

std::expected<void, QString> load_save(EditingModel& model, StateReadReport* report) {
    switch (model.state_mode) {
        case 1: {
            auto read = read_state(model, model.work_path);
            if (!read) {
                return std::unexpected(read.error());
            }
            if (report) {
                *report = std::move(*read);
            }
            return {};
        }
        case 2:
            return write_state(model, model.work_path);
        default:
            return {};
    }
}

}  // namespace koma
