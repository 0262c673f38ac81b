#include "import/import_edits.h"

#include <QCoreApplication>

namespace koma {

std::unique_ptr<ModelEditCommand> slot_load_edit(EditingModel& model, std::function<void()> load) {
    return std::make_unique<ModelEditCommand>(
        model, QCoreApplication::translate("EditNames", "画像の読み込み"), std::move(load));
}

std::unique_ptr<ModelEditCommand> export_folder_edit(EditingModel& model,
                                                     std::function<void()> change) {
    return std::make_unique<ModelEditCommand>(
        model, QCoreApplication::translate("EditNames", "保存先の変更"), std::move(change));
}

}  // namespace koma
