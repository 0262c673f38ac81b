#include "state/recovery_keeper.h"

#include "model/edit_history.h"
#include "state/recovery_copy.h"

namespace koma {

RecoveryKeeper::RecoveryKeeper(EditingModel& model, RecoveryStore& store, QObject* parent)
    : QObject(parent), model_(model), store_(store) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::write_now);
    connect(&model_, &EditingModel::changed, this, &RecoveryKeeper::changed);
    if (model_.history != nullptr) {
        connect(model_.history, &EditHistory::saved, this, &RecoveryKeeper::changed);
    }
}

void RecoveryKeeper::changed() {
    // Not restarted by later changes: a preview that changes the model every tick must not
    // keep the copy from being written.
    if (!finished_ && !timer_.isActive()) {
        timer_.start();
    }
}

void RecoveryKeeper::write_now() {
    timer_.stop();
    if (finished_) {
        return;
    }
    const bool unsaved = model_.history == nullptr || !model_.history->is_clean();
    if (!unsaved) {
        if (!written_.isEmpty()) {
            store_.drop();
            written_.clear();
        }
        return;
    }
    const QByteArray bytes = recovery_copy_bytes(model_);
    if (bytes == written_) {
        return;
    }
    if (auto kept = store_.keep(bytes); !kept) {
        last_error_ = kept.error();
        return;
    }
    last_error_.clear();
    written_ = bytes;
}

void RecoveryKeeper::finish() {
    finished_ = true;
    timer_.stop();
    store_.drop();
    written_.clear();
}

}  // namespace koma
