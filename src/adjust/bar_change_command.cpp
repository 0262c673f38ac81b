#include "adjust/bar_change_command.h"

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

BarChangeCommand::BarChangeCommand(EditingModel& model, OffsetBar bar, int value)
    : ModelEditCommand(
          model,
          bar == OffsetBar::Travel ? QStringLiteral("コマ間隔の変更")
                                   : QStringLiteral("基準位置の変更"),
          [&model, bar, value] { offset_bar(model, bar).set_value(value); }, kMergeBar,
          static_cast<int>(bar)) {}

}  // namespace koma
