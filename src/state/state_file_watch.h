#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "model/change_debounce.h"
#include "model/editing_model.h"
#include "platform/file_watch.h"

namespace koma {

/// The state file the project belongs to (EditingModel::state_file), followed while the window
/// is open. When another program changes it (EditHistory::changed_on_disk, once the writes
/// have stopped for a moment):
///
/// - with unsaved changes, or with following off (EditingModel::follow_files), nothing is read:
///   the status line says the file changed, and Ctrl+S asks before writing over it
///   (quick_save);
/// - otherwise it is read again as LOAD reads it (fine adjustment left, one undoable step, clean
///   at the file afterwards), once it reads whole: a file still being written is tried again
///   until it reads or two seconds passed since its last write, and only then is its failure
///   told on the status line, with nothing read.
///
/// A state file that disappears is told on the status line; Ctrl+S writes it anew. Needs the
/// model's history; without one it does nothing.
class StateFileWatch : public QObject {
    Q_OBJECT
  public:
    using Clock = DebounceClock;

    /// Follows the state file of `model` through `watch`; both must outlive it. Without a clock
    /// a monotonic one is used.
    StateFileWatch(EditingModel& model, FileWatch& watch, Clock clock = {},
                   DebounceTiming timing = {}, QObject* parent = nullptr);

    /// Watches the model's state file now (the model tells of every change; this runs then).
    void sync();
    /// Handles the change of the state file if it is due now (the timer runs it; tests that
    /// keep their own clock call it themselves).
    void run_due();

  private:
    void file_touched(const QString& path);
    /// Whether the file at `path` reads whole, tried on a model of its own.
    bool reads_whole(const QString& path, QString& why) const;
    void read_again(const QString& path);

    EditingModel& model_;
    FileWatch& watch_;
    Clock clock_;
    ChangeDebounce debounce_;
    QTimer timer_;
    QString watched_;
    bool following_ = false;
    /// The change last told on the status line, so that it is told once.
    QByteArray told_digest_;
    bool told_missing_ = false;
};

}  // namespace koma
