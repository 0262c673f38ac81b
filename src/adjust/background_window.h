#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "adjust/background_settings.h"
#include "model/project_snapshot.h"
#include "widgets/single_window.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace koma {

class SurfaceWidget;

/// The background settings window "Form5" "背景の設定": a thin view of BackgroundSettings. It
/// forwards clicks to the Form5 handlers, shows the result, and closes itself when a handler
/// has unloaded it. Closing it by its close box behaves like "キャンセル". Deletes itself when
/// closed.
class Form5 : public QWidget {
    Q_OBJECT
  public:
    Form5(EditingModel& model, BackgroundSettings& settings);

    /// Copies the settings into the widgets, with their signals blocked.
    void refresh();

    /// Opens the colour picker modally and returns the colour chosen, or an invalid colour when
    /// it was cancelled. Tests replace it; by default it is the system colour dialog.
    std::function<QColor(const QColor& current, QWidget* parent)> pick_colour;
    /// Tells why "Ｏｋ" refused the sizes. By default a message box over the window, which
    /// does not wait to be closed.
    std::function<void(const QString& message)> show_refusal;

    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    SurfaceWidget* color_window = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void on_ok();
    void on_swatch();
    /// Closes the window after a handler unloaded it, without running the close box's unload.
    void close_unloaded();

    EditingModel& model_;
    BackgroundSettings& settings_;
    bool unloaded_ = false;
    /// The model as it was when the window opened: what it changed is one step of the history
    /// when it closes.
    ProjectSnapshot opened_;
    bool recorded_ = false;
};

/// Opens Form5 for the main window's "背景設定": a fresh, loaded window when none is open, the
/// same window brought to the front otherwise. Owns the window's settings. Lives as long as the
/// main window; a background window still open when it goes is destroyed with it.
class BackgroundWindowHost : public QObject {
    Q_OBJECT
  public:
    BackgroundWindowHost(EditingModel& model, QObject* parent = nullptr);

    /// `Command1` "背景設定" click.
    void show_window();

    /// The open window, or nullptr.
    Form5* form() const { return form_.window(); }
    BackgroundSettings& settings() { return settings_; }

  private:
    EditingModel& model_;
    BackgroundSettings settings_;
    SingleWindow<Form5> form_;
};

}  // namespace koma
