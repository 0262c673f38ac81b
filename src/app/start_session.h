#pragma once

#include <QStringList>
#include <cstddef>
#include <functional>

#include "model/recovery_store.h"

namespace koma {

class Form1;
class RecoveryKeeper;

/// Asks whether to restore the newest of `count` recovery copies (see ask_restore).
using RestoreQuestion = std::function<bool(const RecoveryCopy& newest, std::size_t count)>;

/// What happens once the main window `window` is shown, its model having a history:
///
/// 1. When `store` holds copies of processes that no longer run, `ask` is asked once. Restore
///    reads the newest into the model (restore_recovery_copy: unsaved, belonging to its state
///    file), has `keeper` write this process's copy of it, then removes the old copy; the
///    others stay for the next start. The other answer removes them all.
/// 2. A state file on the command line (`arguments`, program name first) is read as
///    "koma FILE.pst" reads it: before the history's first step, the model clean at that file.
///    Over a restored project it is read as LOAD does instead, with the question first.
///
/// Whatever did not load is told through the window's show_message.
void start_session(Form1& window, RecoveryStore& store, RecoveryKeeper& keeper,
                   const QStringList& arguments, const RestoreQuestion& ask);

}  // namespace koma
