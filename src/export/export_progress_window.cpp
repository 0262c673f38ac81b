#include "export/export_progress_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <algorithm>
#include <vector>

namespace koma {

namespace {

QString progress_text(int done, int total) {
    return QCoreApplication::translate("ExportProgress", "コマを書き出しています… %1 / %2")
        .arg(done)
        .arg(total);
}

/// Disables, for as long as it lives, every window of its own that the dialog does not block
/// (those `owner` owns are blocked). A disabled window still shows what it shows (the zoom
/// window follows the stage) and still closes by its close box.
class OtherWindowsDisabled {
  public:
    OtherWindowsDisabled(const QWidget* dialog, const QWidget* owner) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            const bool owned = window->parentWidget() != nullptr;
            if (window != dialog && window != owner && !owned && window->isVisible() &&
                window->isEnabled()) {
                window->setEnabled(false);
                disabled_.emplace_back(window);
            }
        }
    }
    ~OtherWindowsDisabled() {
        for (const QPointer<QWidget>& window : disabled_) {
            if (window) window->setEnabled(true);
        }
    }

  private:
    std::vector<QPointer<QWidget>> disabled_;
};

}  // namespace

std::expected<ExportSummary, QString> export_with_progress(
    EditingModel& model, QWidget* parent, int show_after_ms,
    const std::function<void(QProgressDialog&)>& on_step) {
    QProgressDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("ExportProgress", "コマ作成"));
    dialog.setCancelButtonText(QCoreApplication::translate("ExportProgress", "キャンセル"));
    dialog.setWindowModality(Qt::WindowModal);
    // The animation formats are written after the last step: the dialog stays until the end.
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumDuration(show_after_ms);
    // Wide enough for the longest text it shows, with the strip under it in full.
    auto* label = new QLabel(progress_text(kMaxSteps, kMaxSteps), &dialog);
    dialog.setLabel(label);
    dialog.setMinimumWidth(std::max(label->sizeHint().width() + 48, 320));
    std::unique_ptr<OtherWindowsDisabled> others;

    const auto outcome = bt_exec_Click(
        model,
        [&](int done, int total) {
            if (dialog.maximum() != total) dialog.setRange(0, total);
            dialog.setLabelText(progress_text(done, total));
            if (dialog.isVisible()) {
                // The stage holds a new step: the windows show it.
                model.notify();
            }
            // Shows the dialog once the export takes long enough; from then on it lets the
            // event loop run.
            dialog.setValue(done);
            if (dialog.isVisible() && !others) {
                others = std::make_unique<OtherWindowsDisabled>(&dialog, parent);
            }
            if (on_step) on_step(dialog);
        },
        [&] { return dialog.wasCanceled(); });
    others.reset();
    dialog.close();
    return outcome;
}

}  // namespace koma
