#include "model/edit_command.h"

#include "model/edit_history.h"

namespace koma {

namespace {

int current_session(const EditingModel& model) {
    return model.history != nullptr ? model.history->merge_session() : 0;
}

}  // namespace

ModelEditCommand::ModelEditCommand(EditingModel& model, const QString& text,
                                   std::function<void()> edit, int merge_id, int merge_key)
    : QUndoCommand(text),
      model_(model),
      edit_(std::move(edit)),
      merge_id_(merge_id),
      merge_key_(merge_key),
      merge_session_(current_session(model)) {}

ModelEditCommand::ModelEditCommand(EditingModel& model, const QString& text, ProjectSnapshot before)
    : QUndoCommand(text),
      model_(model),
      before_(std::move(before)),
      merge_session_(current_session(model)) {
    after_ = take_snapshot(model_);
    fresh_ = true;
    setObsolete(*after_ == before_);
}

void ModelEditCommand::redo() {
    if (!after_) {
        before_ = take_snapshot(model_);
        if (edit_) {
            edit_();
        }
        after_ = take_snapshot(model_);
        fresh_ = true;
        setObsolete(*after_ == before_);
        return;
    }
    if (fresh_) {
        fresh_ = false;
        return;
    }
    restore_snapshot(model_, *after_, before_);
    restored(false);
}

void ModelEditCommand::undo() {
    fresh_ = false;
    restore_snapshot(model_, before_, *after_);
    restored(true);
}

bool ModelEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* later = dynamic_cast<const ModelEditCommand*>(other);
    if (later == nullptr || later->merge_id_ != merge_id_ || later->merge_key_ != merge_key_ ||
        later->merge_session_ != merge_session_ || !later->after_) {
        return false;
    }
    after_ = later->after_;
    revision_after_ = later->revision_after_;
    setObsolete(*after_ == before_);
    return true;
}

bool ModelEditCommand::move_state_file(bool after_side, const QString& from, const QString& to) {
    ProjectSnapshot* side = after_side ? (after_ ? &*after_ : nullptr) : &before_;
    if (side == nullptr || side->state_file != from) {
        return false;
    }
    side->state_file = to;
    return true;
}

std::unique_ptr<ModelEditCommand> value_edit(EditingModel& model, const QString& text,
                                             std::function<void()> change, int key) {
    return std::make_unique<ModelEditCommand>(model, text, std::move(change),
                                              key < 0 ? -1 : kMergeValue, key);
}

}  // namespace koma
