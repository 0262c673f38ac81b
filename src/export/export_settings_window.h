#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

#include "export/export_settings_form.h"
#include "widgets/single_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace koma {

/// The export settings window "出力設定": a thin view of ExportSettingsForm. It forwards its
/// controls to the form, "ＯＫ" (one step of the history) and "キャンセル" to their handlers, shows
/// a refusal's message and closes itself when the settings were taken. Closing it by its close box
/// behaves like "キャンセル". Deletes itself when closed.
class ExportSettingsWindow : public QWidget {
    Q_OBJECT
  public:
    ExportSettingsWindow(EditingModel& model, ExportSettingsForm& form);

    /// Copies the form into the widgets, with their signals blocked.
    void refresh();

    /// Tells the user why "ＯＫ" was refused. Tests replace it; by default a warning box.
    std::function<void(const QString& message, QWidget* parent)> show_refusal;

    /// The formats in the list's order, so that a row names its format.
    static constexpr std::array<OutputFormat, 9> kFormats{
        OutputFormat::Bmp,  OutputFormat::Gif,  OutputFormat::Png,
        OutputFormat::Apng, OutputFormat::Webp, OutputFormat::Avif,
        OutputFormat::Mp4,  OutputFormat::Webm, OutputFormat::Sheet};

    QComboBox* format = nullptr;
    QLineEdit* frame_ms = nullptr;
    QLineEdit* loop_count = nullptr;
    QCheckBox* transparent = nullptr;
    QCheckBox* max_effort = nullptr;
    /// "再生順": row 0 forward, row 1 ping-pong.
    QComboBox* direction = nullptr;
    /// "拡大": row k enlarges k + 1 times.
    QComboBox* scale = nullptr;
    /// "メモリ上限": the memory budget of an export, in MB.
    QSpinBox* memory_limit = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void on_ok();

    EditingModel& model_;
    ExportSettingsForm& form_;
    bool unloaded_ = false;
};

/// Opens the export settings window for the main window's "出力設定": a fresh, loaded window
/// when none is open, the same window brought to the front otherwise. Owns the window's form.
/// Lives as long as the main window; a settings window still open when it goes is destroyed
/// with it.
class ExportSettingsWindowHost : public QObject {
    Q_OBJECT
  public:
    explicit ExportSettingsWindowHost(EditingModel& model, QObject* parent = nullptr);

    /// "出力設定" click.
    void show_window();

    /// The open window, or nullptr.
    ExportSettingsWindow* window() const { return window_.window(); }
    ExportSettingsForm& form() { return form_; }

  private:
    EditingModel& model_;
    ExportSettingsForm form_;
    SingleWindow<ExportSettingsWindow> window_;
};

}  // namespace koma
