#pragma once

#include <QString>
#include <expected>
#include <functional>

#include "export/frame_export.h"
#include "model/editing_model.h"

class QProgressDialog;
class QWidget;

namespace koma {

/// How long an export runs before its progress dialog appears; a shorter one shows none.
inline constexpr int kProgressShowAfterMs = 400;

/// Runs "コマ作成" (bt_exec_Click) with a progress dialog, modal to `parent`, that appears once
/// the export has run `show_after_ms`: it shows how many steps are out and has a cancel button;
/// the button, Escape and the close box all cancel the export, which then leaves every file as
/// it was. While the dialog shows, the event loop runs between steps: the windows redraw (the
/// model's views are told of each step) and the dialog answers, while the main window and the
/// windows it owns take no input, and the windows of their own that could change the stage or
/// the settings under the walk (the background window, the export settings) are disabled until
/// the export ends. Before it shows, no event is handled at all.
///
/// Timers still run: the caller must have stopped any that touch the model (the preview timer)
/// before calling. `on_step`, when given, is called with the dialog after each step is reported
/// (tests use it to look at the dialog or to cancel).
std::expected<ExportSummary, QString> export_with_progress(
    EditingModel& model, QWidget* parent, int show_after_ms = kProgressShowAfterMs,
    const std::function<void(QProgressDialog&)>& on_step = {});

}  // namespace koma
