#include "app/start_session.h"

#include <QFileInfo>

#include "app/main_window.h"
#include "model/edit_history.h"
#include "state/recovery_copy.h"
#include "state/recovery_keeper.h"
#include "state/state_argument.h"

namespace koma {

namespace {

void tell(Form1& window, const std::expected<StateReadReport, QString>& outcome) {
    if (const QString message = state_read_message(outcome); !message.isEmpty()) {
        window.show_message(message);
    }
}

}  // namespace

void start_session(Form1& window, RecoveryStore& store, RecoveryKeeper& keeper,
                   const QStringList& arguments, const RestoreQuestion& ask) {
    EditingModel& model = window.model();
    const std::vector<RecoveryCopy> copies = store.orphans();
    if (!copies.empty()) {
        if (ask(copies.front(), copies.size())) {
            const auto restored = restore_recovery_copy(model, copies.front().bytes);
            model.notify();
            // The old copy goes only once this process holds the work in a copy of its own.
            keeper.write_now();
            store.discard(copies.front().id);
            tell(window, restored);
        } else {
            for (const RecoveryCopy& copy : copies) {
                store.discard(copy.id);
            }
        }
    }

    if (!names_state_file(arguments)) {
        return;
    }
    EditHistory* history = model.history;
    if (history != nullptr && !history->is_clean()) {
        window.load_state_file(QFileInfo(arguments[1]).absoluteFilePath());
        return;
    }
    const auto read = load_state_argument(model, arguments);
    // The history starts after the opened file: that file is what Ctrl+S writes.
    if (read && history != nullptr && QFileInfo(model.work_path).isFile()) {
        history->mark_saved(model.work_path);
    }
    model.notify();
    tell(window, read);
}

}  // namespace koma
