#include "model/edit_history.h"

#include <memory>

#include "model/edit_command.h"
#include "model/recent_projects.h"
#include "platform/file_stamp.h"

namespace koma {

namespace {

const ModelEditCommand* step(const QUndoStack& stack, int index) {
    return static_cast<const ModelEditCommand*>(stack.command(index));
}

}  // namespace

EditHistory::EditHistory(EditingModel& model, QObject* parent) : QObject(parent), model_(model) {
    stack_.setUndoLimit(kUndoLimit);
    model_.history = this;
    // The state the history begins at (revision 0) is as its state file holds it, or, with
    // none, is the start that has nothing to save.
    saved_at_.insert(model_.state_file, 0);
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
        owned->set_revisions(current_revision(), next_revision_++);
        stack_.push(owned.release());
    }
    show_project();
    model_.notify();
}

void EditHistory::undo() {
    if (stack_.canUndo()) {
        stack_.undo();
        keep_saved_step();
        show_project();
        model_.notify();
    }
}

void EditHistory::redo() {
    if (stack_.canRedo()) {
        stack_.redo();
        keep_saved_step();
        show_project();
        model_.notify();
    }
}

void EditHistory::keep_saved_step() {
    // The stack merges no edit into its clean step: the state a file holds stays a step that
    // undo can come back to.
    if (is_clean()) {
        stack_.setClean();
    }
}

quint64 EditHistory::current_revision() const {
    if (stack_.index() > 0) {
        return step(stack_, stack_.index() - 1)->revision_after();
    }
    // Steps dropped off the bottom take the name of the first state with them; the first step
    // kept still knows it.
    return stack_.count() > 0 ? step(stack_, 0)->revision_before() : 0;
}

bool EditHistory::is_clean() const {
    const auto found = saved_at_.constFind(model_.state_file);
    return found != saved_at_.constEnd() && *found == current_revision();
}

void EditHistory::move_state_file(const QString& path) {
    const QString from = model_.state_file;
    if (from == path) {
        return;
    }
    // The stack hands its steps out as const; they are the history's own to rename.
    const auto edit = [this](int index) {
        return const_cast<ModelEditCommand*>(step(stack_, index));
    };
    for (int i = stack_.index() - 1; i >= 0; --i) {
        if (!edit(i)->move_state_file(true, from, path) ||
            !edit(i)->move_state_file(false, from, path)) {
            break;
        }
    }
    for (int i = stack_.index(); i < stack_.count(); ++i) {
        if (!edit(i)->move_state_file(false, from, path) ||
            !edit(i)->move_state_file(true, from, path)) {
            break;
        }
    }
    model_.state_file = path;
}

void EditHistory::mark_saved(const QString& path) {
    move_state_file(path);
    saved_at_.insert(path, current_revision());
    if (!path.isEmpty()) {
        disk_digests_.insert(path, file_digest(path));
    }
    keep_saved_step();
    if (model_.recent != nullptr && !path.isEmpty()) {
        model_.recent->remember(path);
    }
    show_project();
    emit saved();
}

void EditHistory::mark_unsaved(const QString& path) {
    move_state_file(path);
    saved_at_.remove(path);
    show_project();
}

bool EditHistory::changed_on_disk() const {
    const auto known = disk_digests_.constFind(model_.state_file);
    if (model_.state_file.isEmpty() || known == disk_digests_.constEnd()) {
        return false;
    }
    const QByteArray now = file_digest(model_.state_file);
    return !now.isEmpty() && now != *known;
}

void EditHistory::show_project() { model_.status.set_project(model_.state_file, !is_clean()); }

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
