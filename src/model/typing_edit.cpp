#include "model/typing_edit.h"

#include <QCoreApplication>

namespace koma {

namespace {

QString step_name(TypedBox box) {
    switch (box) {
        case TypedBox::Pattern:
            return QCoreApplication::translate("EditNames", "アニメパターンの入力");
        case TypedBox::Travel:
            return QCoreApplication::translate("EditNames", "コマ間隔の入力");
        case TypedBox::BaseName:
            return QCoreApplication::translate("EditNames", "ファイル名の入力");
    }
    return {};
}

}  // namespace

TextBox& typed_box(EditingModel& model, TypedBox box) {
    switch (box) {
        case TypedBox::Pattern:
            return model.pattern_anime;
        case TypedBox::Travel:
            return model.size_move;
        case TypedBox::BaseName:
            break;
    }
    return model.basename;
}

std::unique_ptr<ModelEditCommand> typing_edit(EditingModel& model, TypedBox box,
                                              const QString& text) {
    return std::make_unique<ModelEditCommand>(
        model, step_name(box), [&model, box, text] { typed_box(model, box).set_text(text); },
        kMergeTyping, static_cast<int>(box));
}

std::unique_ptr<ModelEditCommand> typing_edit(EditingModel& model, TypedBox box,
                                              std::function<void()> handler) {
    return std::make_unique<ModelEditCommand>(model, step_name(box), std::move(handler),
                                              kMergeTyping, static_cast<int>(box));
}

}  // namespace koma
