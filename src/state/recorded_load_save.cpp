#include "state/recorded_load_save.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <optional>

#include "model/edit_history.h"
#include "state/write_state.h"

namespace koma {

LoadSaveResult recorded_load_save(EditingModel& model, StateReadReport* report) {
    const QString path = model.work_path;
    if (model.state_mode != 1) {
        auto result = load_save(model, report);
        if (model.state_mode == 2 && result) {
            if (model.history != nullptr) {
                model.history->mark_saved(path);
            }
            report_saved(model, path);
        }
        return result;
    }
    // A missing file reads as success with nothing read; it is no file to save to.
    const bool existed = QFileInfo(path).isFile();
    std::optional<LoadSaveResult> result;
    run_edit(model, std::make_unique<ModelEditCommand>(
                        model, QCoreApplication::translate("EditNames", "状態のLOAD"), [&] {
                            const ProjectSnapshot before = take_snapshot(model);
                            result = load_save(model, report);
                            if (*result && existed) {
                                // Part of the step, so that undo gives back the file it replaced.
                                model.state_file = path;
                            } else if (!*result && take_snapshot(model) != before) {
                                // Half of another project came in: this is no longer the project of
                                // the file it was read from, and Ctrl+S must not write over that
                                // file.
                                model.state_file.clear();
                            }
                        }));
    if (*result && existed) {
        if (model.history != nullptr) {
            model.history->mark_saved(path);
        }
        model.status.report(QCoreApplication::translate("StatusLine", "読み込みました: %1")
                                .arg(QFileInfo(path).fileName()));
    }
    return std::move(*result);
}

}  // namespace koma
