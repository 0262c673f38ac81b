#include "model/edit_history.h"

#include <memory>

#include "model/edit_command.h"

namespace koma {

EditHistory::EditHistory(EditingModel& model, QObject* parent) : QObject(parent), model_(model) {
    stack_.setUndoLimit(kUndoLimit);
    model_.history = this;
    connect(&stack_, &QUndoStack::cleanChanged, this, &EditHistory::show_project);
    show_project();
}

EditHistory::~EditHistory() {
    // The stack clears itself as it goes, after the members the status line is told from.
    disconnect(&stack_, nullptr, this, nullptr);
    if (model_.history == this) {
        model_.history = nullptr;
    }
}

void EditHistory::push(std::unique_ptr<ModelEditCommand> owned) {
    // Run before the stack sees it: the stack would drop the steps to redo even for an edit
    // that changed nothing.
    if (!owned->applied()) {
        owned->redo();
    }
    if (!owned->isObsolete()) {
        stack_.push(owned.release());
    }
    model_.notify();
}

void EditHistory::undo() {
    if (stack_.canUndo()) {
        stack_.undo();
        model_.notify();
    }
}

void EditHistory::redo() {
    if (stack_.canRedo()) {
        stack_.redo();
        model_.notify();
    }
}

void EditHistory::mark_saved(const QString& path) {
    saved_path_ = path;
    stack_.setClean();
    show_project();
    emit saved();
}

void EditHistory::show_project() { model_.status.set_project(saved_path_, !stack_.isClean()); }

QString last_state_file(const EditingModel& model) {
    return model.history != nullptr ? model.history->saved_path() : QString();
}

void run_edit(EditingModel& model, std::unique_ptr<ModelEditCommand> command) {
    if (model.history != nullptr) {
        model.history->push(std::move(command));
        return;
    }
    command->redo();
}

}  // namespace koma
