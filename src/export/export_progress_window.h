#pragma once

#include <QString>
#include <expected>

#include "export/frame_export.h"
#include "model/editing_model.h"

class QWidget;

namespace koma {

/// Runs "コマ作成" (bt_exec_Click) with a progress dialog over `parent` that appears only when
/// the export is expected to take longer than half a second.
///
/// The dialog is application-modal and has no cancel button: while it shows, the event loop
/// runs (to paint it), but no window takes user input, so nothing can change the model or start
/// a second export during the walk. Timers still run: the caller must have stopped any that
/// touch the model (the preview timer) before calling.
std::expected<ExportSummary, QString> export_with_progress(EditingModel& model, QWidget* parent);

}  // namespace koma
