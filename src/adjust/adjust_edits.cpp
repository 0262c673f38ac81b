#include "adjust/adjust_edits.h"

#include <QCoreApplication>

#include "adjust/fine_adjust.h"

namespace koma {

ScrollBar& offset_bar(EditingModel& model, OffsetBar bar) {
    switch (bar) {
        case OffsetBar::Travel:
            return model.sc_bar;
        case OffsetBar::BaseX:
            return model.adjust_x;
        case OffsetBar::BaseY:
            break;
    }
    return model.adjust_y;
}

std::unique_ptr<ModelEditCommand> bar_edit(EditingModel& model, OffsetBar bar, int value) {
    return std::make_unique<ModelEditCommand>(
        model,
        bar == OffsetBar::Travel ? QCoreApplication::translate("EditNames", "コマ間隔の変更")
                                 : QCoreApplication::translate("EditNames", "基準位置の変更"),
        [&model, bar, value] { offset_bar(model, bar).set_value(value); }, kMergeBar,
        static_cast<int>(bar));
}

std::unique_ptr<ModelEditCommand> reset_edit(EditingModel& model) {
    return std::make_unique<ModelEditCommand>(model,
                                              QCoreApplication::translate("EditNames", "リセット"),
                                              [&model] { bt_reset_click(model); });
}

std::unique_ptr<ModelEditCommand> background_edit(EditingModel& model, ProjectSnapshot before) {
    return std::make_unique<ModelEditCommand>(
        model, QCoreApplication::translate("EditNames", "背景の設定"), std::move(before));
}

}  // namespace koma
