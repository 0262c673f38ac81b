#pragma once

#include <QString>
#include <QUndoCommand>
#include <functional>
#include <memory>
#include <optional>

#include "model/project_snapshot.h"

namespace koma {

/// Merge ids of the kinds of edit that merge with the step before; -1 never merges.
enum MergeId : int {
    kMergeTyping = 1,
    kMergeBar = 2,
    kMergeNudge = 3,
    kMergeValue = 4,
    kMergeStepTime = 5,
};

/// One undoable edit of the editing model. The first redo runs the edit (a handler, exactly as
/// the user's action would) between two snapshots; undo and later redos put the snapshot back
/// (restore_snapshot), so the model is exactly as it was before or after. An edit that changed
/// nothing becomes obsolete and is not kept.
///
/// Every kind of edit is made by a small factory function (or, where it must show where it
/// happened, a subclass) in the folder of the subsystem whose handler it runs.
/// An edit the program has already made (a window that changes the model while it is open)
/// is recorded with the snapshot taken before it. Settings that have no command of their own
/// use ValueChange (below).
class ModelEditCommand : public QUndoCommand {
  public:
    /// An edit still to run: `edit` is called once, by the first redo.
    ModelEditCommand(EditingModel& model, const QString& text, std::function<void()> edit,
                     int merge_id = -1, int merge_key = 0);
    /// An edit already made: `before` is the model as it was; the state after is taken now.
    ModelEditCommand(EditingModel& model, const QString& text, ProjectSnapshot before);

    void redo() override;
    void undo() override;
    int id() const override { return merge_id_; }
    /// Takes over the later state of `other` when both are the same kind of edit of the same
    /// thing (merge key) within one merge session.
    bool mergeWith(const QUndoCommand* other) override;

    /// Whether the edit has run (or was recorded after it ran).
    bool applied() const { return after_.has_value(); }
    const ProjectSnapshot& before() const { return before_; }
    const ProjectSnapshot& after() const { return *after_; }

    /// The history's names for the states before and after this step (see EditHistory): a
    /// step that merges takes over the later step's name for its state after.
    quint64 revision_before() const { return revision_before_; }
    quint64 revision_after() const { return revision_after_; }
    void set_revisions(quint64 before, quint64 after) {
        revision_before_ = before;
        revision_after_ = after;
    }
    /// Where the state before (or after) this step belongs to the state file `from`, it now
    /// belongs to `to`. Returns whether it did belong to `from`.
    bool move_state_file(bool after_side, const QString& from, const QString& to);

  protected:
    /// Runs after a snapshot was put back (`undone` tells which way). Lets a kind of edit show
    /// where it happened; nothing by default.
    virtual void restored(bool undone) { (void)undone; }

    EditingModel& model_;

  private:
    std::function<void()> edit_;
    ProjectSnapshot before_;
    std::optional<ProjectSnapshot> after_;
    int merge_id_ = -1;
    int merge_key_ = 0;
    int merge_session_ = 0;
    quint64 revision_before_ = 0;
    quint64 revision_after_ = 0;
    /// The edit has just run and the model already holds `after_`.
    bool fresh_ = false;
};

/// A change of project settings that has no command of its own (for example a value of a
/// settings window): `change` sets the values, running their handlers as the user's input
/// would. Consecutive changes with the same `key` (for example one per field of a window, in
/// one merge session) merge into one step; a negative key never merges.
///
///     run_edit(model, value_edit(model, QStringLiteral("コマ時間"), [&] { ... }, 1));
std::unique_ptr<ModelEditCommand> value_edit(EditingModel& model, const QString& text,
                                             std::function<void()> change, int key = -1);

}  // namespace koma
