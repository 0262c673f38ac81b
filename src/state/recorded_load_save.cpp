#include "state/recorded_load_save.h"

#include <QFileInfo>
#include <optional>

#include "model/edit_history.h"

namespace koma {

LoadSaveResult recorded_load_save(EditingModel& model, StateReadReport* report) {
    const QString path = model.work_path;
    if (model.state_mode != 1) {
        auto result = load_save(model, report);
        if (model.state_mode == 2 && result && model.history != nullptr) {
            model.history->mark_saved(path);
        }
        return result;
    }
    // A missing file reads as success with nothing read; it is no file to save to.
    const bool existed = QFileInfo(path).isFile();
    std::optional<LoadSaveResult> result;
    run_edit(model, std::make_unique<ModelEditCommand>(model, QStringLiteral("状態のLOAD"),
                                                       [&] { result = load_save(model, report); }));
    if (*result && existed && model.history != nullptr) {
        model.history->mark_saved(path);
    }
    return std::move(*result);
}

}  // namespace koma
