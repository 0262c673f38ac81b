#include "state/quick_save.h"

#include "model/edit_history.h"
#include "state/write_state.h"

namespace koma {

std::expected<QuickSave, QString> quick_save(EditingModel& model) {
    if (model.history == nullptr || model.history->saved_path().isEmpty()) {
        return QuickSave::NeedsName;
    }
    const QString path = model.history->saved_path();
    if (model.history->changed_on_disk() && model.history->ask_before_overwriting &&
        !model.history->ask_before_overwriting(path)) {
        return QuickSave::Kept;
    }
    auto written = write_state(model, path);
    if (!written) {
        return std::unexpected(written.error());
    }
    model.history->mark_saved(path);
    report_saved(model, path);
    return QuickSave::Written;
}

}  // namespace koma
