#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "model/editing_model.h"

namespace koma {

class ModelEditCommand;

/// The answers to the question asked before unsaved changes are closed or replaced.
enum class UnsavedAnswer { Save, Discard, Cancel };

/// Steps the history keeps; older steps are forgotten. Each step holds two snapshots whose
/// images are shared with the model, so the cost of a step is the pixels it changed.
inline constexpr int kUndoLimit = 100;

/// The one undo history of an editing model. It lives next to the model (never in a window)
/// and attaches itself to it (`model.history`) for as long as it lives, so every view and
/// window model of that editing model pushes its edits here. A model without a history runs
/// its edits directly (see run_edit).
///
/// The history also knows which state file each step belongs to (the model's state_file, kept
/// in every snapshot) and at which step each state file was last read or written: the model is
/// clean while it is at the step its state file was last read or written at. It keeps the
/// model's status line told which file that is and whether the model is clean.
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

    /// Whether the model is as its state file was last read or written here (with no state
    /// file: as it was when the history began).
    bool is_clean() const;
    /// A state file was read or written at `path` and matches the model now: the project
    /// belongs to that file from now on. When it belonged to another file, so do the steps
    /// next to this one that belonged to the same file, up to a step that changed the file (a
    /// LOAD), so an undo of an edit made before a SAVE under a new name keeps the new name.
    /// Remembers `path` in the model's recent list, when it has one.
    void mark_saved(const QString& path);
    /// The project belongs to the state file at `path` ("" for none) but differs from it, as a
    /// restored recovery copy does.
    void mark_unsaved(const QString& path);
    /// The state file the project belongs to (the model's state_file), what Ctrl+S writes;
    /// empty when there is none.
    const QString& saved_path() const { return model_.state_file; }

    /// Asked, with the path of the file to read, before a LOAD replaces unsaved changes; unset,
    /// the LOAD goes ahead without a question.
    std::function<UnsavedAnswer(const QString& path)> ask_before_replacing;
    /// Asked, with the path of the state file, before Ctrl+S writes over a file that changed on
    /// disk since it was last read or written here (changed_on_disk); true writes, false keeps
    /// the file. Unset, Ctrl+S writes without a question.
    std::function<bool(const QString& path)> ask_before_overwriting;

    /// Whether the state file the project belongs to holds other bytes on disk than when it was
    /// last read or written here (another program wrote it). False without a state file, for a
    /// file never read or written here, and for one that is gone (nothing to write over).
    bool changed_on_disk() const;

    /// Steps that merge (typing, a bar's drag) merge only within one session. A new session
    /// begins when the user leaves the control (focus out, a drag released).
    int merge_session() const { return merge_session_; }
    void begin_merge_session() { ++merge_session_; }

  signals:
    /// A state file was read or written and the model is clean.
    void saved();

  private:
    /// The name of the state the model is at: each step names the state it leaves, so undo,
    /// redo, merges and steps dropped off either end keep the names right.
    quint64 current_revision() const;
    /// Makes the steps around the current one that belong to the model's state file belong to
    /// `path` (see mark_saved).
    void move_state_file(const QString& path);
    /// Keeps the next edit from merging into the step the model is at while that step is
    /// clean.
    void keep_saved_step();
    /// Tells the status line the state file and whether the model is clean.
    void show_project();

    EditingModel& model_;
    QUndoStack stack_;
    /// For each state file, the state it was last read or written at.
    QHash<QString, quint64> saved_at_;
    /// For each state file, the digest of its bytes when it was last read or written here.
    QHash<QString, QByteArray> disk_digests_;
    quint64 next_revision_ = 1;
    int merge_session_ = 0;
};

/// The state file last read or written with `model`'s history; empty without a history or before
/// any.
QString last_state_file(const EditingModel& model);

/// Runs an edit through `model`'s history when it has one (pushing `command`), else runs the
/// command's redo once and deletes it.
void run_edit(EditingModel& model, std::unique_ptr<ModelEditCommand> command);

}  // namespace koma
