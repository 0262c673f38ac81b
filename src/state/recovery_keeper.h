#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "model/editing_model.h"
#include "model/recovery_store.h"

namespace koma {

/// Keeps the recovery copy of an open project up to date while the window is open: a moment
/// after every change the model tells of (EditingModel::changed, EditHistory::saved), a project
/// with unsaved changes has its copy written (recovery_copy_bytes), and one without has none.
class RecoveryKeeper : public QObject {
    Q_OBJECT
  public:
    /// How long after a change the copy is written, at most.
    static constexpr int kDelayMs = 1000;

    /// Keeps the copy of `model` in `store`; both must outlive the keeper. Writes nothing yet.
    RecoveryKeeper(EditingModel& model, RecoveryStore& store, QObject* parent = nullptr);

    /// Brings the copy up to date now: with unsaved changes (or no history to ask), the copy is
    /// written unless it holds these bytes already; with none, it is removed.
    void write_now();
    /// A normal close: stops and removes the copy.
    void finish();
    /// The message of the last write that failed; empty after one that worked.
    const QString& last_error() const { return last_error_; }

  private:
    void changed();

    EditingModel& model_;
    RecoveryStore& store_;
    QTimer timer_;
    QByteArray written_;
    QString last_error_;
    bool finished_ = false;
};

}  // namespace koma
