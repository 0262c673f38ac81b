#include "export/export_progress_window.h"

#include <QProgressDialog>

namespace koma {

std::expected<ExportSummary, QString> export_with_progress(EditingModel& model, QWidget* parent) {
    QProgressDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("コマ作成"));
    dialog.setLabelText(QStringLiteral("コマを書き出しています…"));
    // Stopping half-way would leave half a BMP sequence behind; an export is short enough to
    // wait for.
    dialog.setCancelButton(nullptr);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(500);
    // The GIF is written after the last step: the dialog stays until the export returns.
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);

    const auto outcome = bt_exec_Click(model, [&](int done, int total) {
        if (dialog.maximum() != total) {
            dialog.setRange(0, total);
        }
        dialog.setValue(done);
    });
    dialog.close();
    return outcome;
}

}  // namespace koma
