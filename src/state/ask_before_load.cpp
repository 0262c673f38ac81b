#include "state/ask_before_load.h"

#include <QFileInfo>

#include "model/edit_history.h"
#include "state/quick_save.h"

namespace koma {

std::expected<BeforeLoad, QString> ask_before_load(EditingModel& model, const QString& path) {
    EditHistory* history = model.history;
    // A missing file reads nothing, so it replaces nothing either.
    if (history == nullptr || history->is_clean() || !history->ask_before_replacing ||
        !QFileInfo(path).isFile()) {
        return BeforeLoad::Read;
    }
    switch (history->ask_before_replacing(path)) {
        case UnsavedAnswer::Cancel:
            return BeforeLoad::Cancelled;
        case UnsavedAnswer::Discard:
            return BeforeLoad::Read;
        case UnsavedAnswer::Save:
            break;
    }
    const auto saved = quick_save(model);
    if (!saved) {
        return std::unexpected(saved.error());
    }
    switch (*saved) {
        case QuickSave::Written:
            return BeforeLoad::Read;
        case QuickSave::Kept:
            // The save was called off, and so is the LOAD that was to follow it.
            return BeforeLoad::Cancelled;
        case QuickSave::NeedsName:
            break;
    }
    return BeforeLoad::SaveFirst;
}

}  // namespace koma
