#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <memory>

#include "model/editing_model.h"

namespace koma {

class ModelEditCommand;

/// Steps the history keeps; older steps are forgotten. Each step holds two snapshots whose
/// images are shared with the model, so the cost of a step is the pixels it changed.
inline constexpr int kUndoLimit = 100;

/// The one undo history of an editing model. It lives next to the model (never in a window)
/// and attaches itself to it (`model.history`) for as long as it lives, so every view and
/// window model of that editing model pushes its edits here. A model without a history runs
/// its edits directly (see run_edit).
///
/// The history also knows the state file last read or written: the model is clean while it is
/// at the step that file was read or written at. It keeps the model's status line told which
/// file that is and whether the model is clean.
class EditHistory : public QObject {
    Q_OBJECT
  public:
    explicit EditHistory(EditingModel& model, QObject* parent = nullptr);
    ~EditHistory() override;

    QUndoStack& stack() { return stack_; }
    const QUndoStack& stack() const { return stack_; }

    /// Runs `command` (its first redo) and keeps it as a step unless it changed nothing (then
    /// the steps that could be redone stay too) or merged into the step before; tells the
    /// model's views.
    void push(std::unique_ptr<ModelEditCommand> command);
    /// Undoes or redoes one step, if there is one, and tells the model's views.
    void undo();
    void redo();

    /// Whether the model is as the state file last read or written holds it (with no such
    /// file: as it was when the history began).
    bool is_clean() const { return stack_.isClean(); }
    /// A state file was read or written at `path` and matches the model now.
    void mark_saved(const QString& path);
    /// The state file last read or written; empty when there is none yet.
    const QString& saved_path() const { return saved_path_; }

    /// Steps that merge (typing, a bar's drag) merge only within one session. A new session
    /// begins when the user leaves the control (focus out, a drag released).
    int merge_session() const { return merge_session_; }
    void begin_merge_session() { ++merge_session_; }

  signals:
    /// A state file was read or written and the model is clean.
    void saved();

  private:
    /// Tells the status line the state file and whether the model is clean.
    void show_project();

    EditingModel& model_;
    QUndoStack stack_;
    QString saved_path_;
    int merge_session_ = 0;
};

/// The state file last read or written with `model`'s history; empty without a history or before
/// any.
QString last_state_file(const EditingModel& model);

/// Runs an edit through `model`'s history when it has one (pushing `command`), else runs the
/// command's redo once and deletes it.
void run_edit(EditingModel& model, std::unique_ptr<ModelEditCommand> command);

}  // namespace koma
