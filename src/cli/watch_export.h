#pragma once

#include <QTextStream>

#include "cli/batch_export.h"

namespace koma {

/// "koma export --watch": exports every state file of `request` (as export_each does), then
/// keeps running and exports a state file again whenever it, or a slot image it names, changes
/// (once the writes have stopped for a moment; see ChangeDebounce). Prints one line on `out` per
/// export: the time of day, the state file, how many files were written (or that it failed) and
/// how long it took; why an export failed, and its warnings, go to `err` as for one export, and
/// the command waits for the next change. A slot image that does not load yet (half written) is
/// waited for until it loads or two seconds passed since its last change. An export never
/// leaves a half-written file (see StagedFiles). Files the export writes over its own slot
/// images are not watched.
///
/// SIGINT or SIGTERM stops an export under way (it leaves every file as it was) and ends the
/// command with kExitSuccess. A state file that is missing at the start ends it at once with
/// kExitStateUnread.
int run_watch_export(const ExportRequest& request, QTextStream& out, QTextStream& err);

}  // namespace koma
